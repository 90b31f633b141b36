#include "layout/layoutfile.h"

#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/listinput.h"
#include "platform/numbers.h"
#include "platform/recordfile.h"
#include "platform/words.h"

#include <QRegularExpression>

#include <optional>

namespace tarvel {

namespace {

QString loadAction()
{
    return Words::tr("reading the layout file");
}

QString saveAction()
{
    return Words::tr("writing the layout file");
}

QString layoutPath(const DataLocations& where)
{
    return where.dataFile(QString::fromUtf16(kLayoutFileName));
}

/// Whether a text written as it stands would read back differently: the reader skips blanks
/// and line breaks before a field, takes a leading double quote as an opening quote, and
/// ends a field at a comma or line break.
bool needsQuotes(QStringView text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == u' ' || first == u'\t' || first == u'"')
        return true;
    return text.contains(u',') || text.contains(u'\r') || text.contains(u'\n');
}

/// One field's bytes, without its comma.
QByteArray encodeField(const QString& text)
{
    QString stored = text;
    // Refused at entry; should one arrive anyway, its quotes go so the fields after it
    // stay where they are.
    if (!isStorableFreeText(stored))
        stored.remove(u'"');
    if (needsQuotes(stored))
        return '"' + cp932::encode(stored) + '"';
    return cp932::encode(stored);
}

/// A whole switch field that is a decimal number ("1", " 2", "1.0", "1e0").
bool isNumber(const QString& field)
{
    static const QRegularExpression number(
        u"^[ \\t]*[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?[ \\t]*$"_qs);
    return number.match(field).hasMatch();
}

/// The switch state a field holds, or nothing when the field is not a number or not a
/// state a check box can take.
std::optional<qint16> switchState(const QString& field)
{
    if (!isNumber(field))
        return std::nullopt;
    qint16 state = 0;
    try {
        state = toInt16(numericValue(field));
    } catch (const Failure&) {
        return std::nullopt;
    }
    if (state != kSwitchOff && state != kSwitchOn && state != kSwitchGrayed)
        return std::nullopt;
    return state;
}

/// Reads the fields into `layout` in file order, each stored as soon as it is read, and
/// says where and why it stopped when it could not read them all.
class FieldReader {
public:
    explicit FieldReader(QByteArray content) : input_(std::move(content)) {}

    LayoutLoadResult readInto(Layout& layout)
    {
        if (!text(layout.rankLimitIndividual) || !text(layout.rankLimitRelay))
            return stopped_;
        for (int i = 0; i < kItemCount; ++i) {
            ItemLayout& item = layout.items[i];
            if (!switchInto(item.switchState) || !text(item.x) || !text(item.y) || !text(item.size))
                return stopped_;
            if (isFreeTextItem(i) && !text(layout.freeTexts[freeTextOf(i)]))
                return stopped_;
        }
        // Fields after the 83rd are ignored.
        return {};
    }

private:
    bool stop(const QString& why)
    {
        stopped_ = {LayoutLoad::Repaired, fieldNo_, why};
        return false;
    }

    std::optional<QString> next()
    {
        ++fieldNo_;
        std::optional<QString> field = input_.next();
        if (!field)
            stop(Words::tr("the file ends before field %1 of %2")
                     .arg(fieldNo_)
                     .arg(kLayoutFieldCount));
        return field;
    }

    bool text(QString& target)
    {
        const std::optional<QString> field = next();
        if (field)
            target = *field;
        return field.has_value();
    }

    bool switchInto(qint16& target)
    {
        const std::optional<QString> field = next();
        if (!field)
            return false;
        const std::optional<qint16> state = switchState(*field);
        if (!state)
            return stop(Words::tr("field %1 holds \"%2\" where a switch (0, 1 or 2) belongs")
                            .arg(fieldNo_)
                            .arg(*field));
        target = *state;
        return true;
    }

    ListInput input_;
    int fieldNo_ = 0;
    LayoutLoadResult stopped_;
};

} // namespace

LayoutLoadResult loadLayout(const DataLocations& where, Layout& layout)
{
    LayoutLoadResult result;
    try {
        result = FieldReader(readWholeFile(layoutPath(where), loadAction())).readInto(layout);
    } catch (const Failure& failure) {
        result = {failure.kind() == Failure::Kind::Missing ? LayoutLoad::Created
                                                           : LayoutLoad::Repaired,
                  1, failure.reason()};
    }
    if (result.outcome == LayoutLoad::Complete)
        return result;
    // A missing or damaged file is replaced at once by the state as it now stands.
    saveLayout(where, layout);
    return result;
}

void saveLayout(const DataLocations& where, const Layout& layout)
{
    replaceWholeFile(layoutPath(where), encodeLayout(layout), saveAction());
}

QByteArray encodeLayout(const Layout& layout)
{
    QByteArray bytes;
    const auto put = [&bytes](const QString& text) {
        bytes += encodeField(text);
        bytes += ',';
    };

    put(layout.rankLimitIndividual);
    put(layout.rankLimitRelay);
    for (int i = 0; i < kItemCount; ++i) {
        const ItemLayout& item = layout.items[i];
        put(QString::number(item.switchState));
        put(item.x);
        put(item.y);
        put(item.size);
        if (isFreeTextItem(i))
            put(layout.freeTexts[freeTextOf(i)]);
    }
    return bytes;
}

bool isStorableFreeText(const QString& text)
{
    return !(needsQuotes(text) && text.contains(u'"'));
}

bool isStorableNumberText(const QString& text)
{
    return !text.contains(u',') && !text.contains(u'"');
}

} // namespace tarvel
