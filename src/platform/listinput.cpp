#include "platform/listinput.h"

#include "platform/cp932.h"

namespace tarvel {

namespace {

bool isSkippedBeforeItem(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

/// Position of the first blank-free byte at or after `pos`.
qsizetype skipBlanks(const QByteArray& content, qsizetype pos)
{
    while (pos < content.size() && isSkippedBeforeItem(content[pos]))
        ++pos;
    return pos;
}

/// Position of the next comma or line break at or after `pos` (the end when none).
qsizetype findSeparator(const QByteArray& content, qsizetype pos)
{
    while (pos < content.size() && content[pos] != ',' && !isLineBreak(content[pos]))
        ++pos;
    return pos;
}

/// Position after the separator at `pos` (CR LF counts as one).
qsizetype consumeSeparator(const QByteArray& content, qsizetype pos)
{
    if (pos >= content.size())
        return pos;
    if (content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n')
        return pos + 2;
    return pos + 1;
}

} // namespace

std::optional<QString> ListInput::next()
{
    pos_ = skipBlanks(content_, pos_);
    if (pos_ >= content_.size())
        return std::nullopt;

    // Cp932 trail bytes are 0x40 and above, so quotes, commas and line breaks found
    // byte by byte are never the second half of a character.
    if (content_[pos_] == '"') {
        const qsizetype begin = pos_ + 1;
        qsizetype end = content_.indexOf('"', begin);
        if (end < 0)
            end = content_.size(); // an unclosed quote runs to the end
        const QString item = cp932::decode(QByteArrayView(content_).sliced(begin, end - begin));
        pos_ = consumeSeparator(content_, findSeparator(content_, end));
        return item;
    }

    const qsizetype end = findSeparator(content_, pos_);
    const QString item = cp932::decode(QByteArrayView(content_).sliced(pos_, end - pos_));
    pos_ = consumeSeparator(content_, end);
    return item;
}

bool ListInput::atEnd() const
{
    return skipBlanks(content_, pos_) >= content_.size();
}

} // namespace tarvel
