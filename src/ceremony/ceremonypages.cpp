#include "ceremony/ceremonypages.h"

#include "platform/pageunits.h"
#include "platform/qt/fonts.h"
#include "platform/textfit.h"
#include "platform/words.h"

#include <algorithm>

namespace tarvel {

namespace {

/// A line's height as a share of its size: room for the gothic face's ascent and descent.
constexpr double kLineSpacing = 1.4;

constexpr double kHeaderPoints = 12.0;
constexpr double kTitlePoints = 18.0;
constexpr double kGroupPoints = 15.0;
constexpr double kCaptionPoints = 12.0;
constexpr double kEntryPoints = 14.0;
constexpr double kLegPoints = 13.0;
constexpr double kFooterPoints = 12.0;

/// Where the page's body begins and ends, leaving the meet's name above and the foot below.
constexpr double kBodyTop = 500.0;
constexpr double kBodyBottom = kCeremonyPageHeight - 500.0;
/// Between two entries, and before a heading.
constexpr double kEntryGap = 80.0;
constexpr double kHeadingGap = 200.0;

struct Column {
    double x;
    double width;
};
constexpr Column kRank{0.0, 1000.0};
constexpr Column kName{1000.0, 3100.0};
constexpr Column kAffiliation{4100.0, 3000.0};
constexpr Column kPrefecture{7100.0, 1200.0};
constexpr Column kResult{8300.0, 1700.0};
constexpr Column kMark{10000.0, kCeremonyPageWidth - 10000.0};
/// A relay team takes the name and affiliation columns; its swimmers are indented beneath.
constexpr Column kTeam{kName.x, kName.width + kAffiliation.width};
constexpr Column kLeg{kName.x + 400.0, kTeam.width - 400.0};
constexpr Column kWholeLine{0.0, kCeremonyPageWidth};

double lineHeight(double points)
{
    return points * kTwipsPerPoint * kLineSpacing;
}

/// One text (or a rule) of a block, placed relative to the block's top.
struct Piece {
    double x = 0.0;
    double dy = 0.0;
    double points = 0.0;
    double maxWidth = 0.0;
    QString text;
    bool rule = false; ///< a hairline across the page at dy instead of a text
};

/// What stays together on a page.
struct Block {
    double height = 0.0;
    QList<Piece> pieces;
    /// A heading: never the last thing on a page.
    bool keepWithNext = false;
    /// The event it belongs to, to repeat the event's title atop a page it continues on.
    qsizetype event = 0;
    bool isTitle = false;
};

class ListComposer {
public:
    explicit ListComposer(PrintDevice& device) : device_(device) {}

    /// The lines `text` takes in `column` at `points`: one when it fits (condensed up to
    /// kNarrowestStretch), otherwise as many as it needs at its natural width, broken
    /// between characters. Never cut.
    QStringList linesFor(const QString& text, double points, Column column)
    {
        if (text.isEmpty())
            return {};
        device_.setFontSize(points);
        if (device_.textWidth(text) * kNarrowestStretch <= column.width)
            return {text};
        QStringList lines;
        QString line;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString character = text.mid(i, length);
            i += length - 1;
            if (!line.isEmpty() && device_.textWidth(line + character) > column.width) {
                lines << line;
                line.clear();
            }
            line += character;
        }
        if (!line.isEmpty())
            lines << line;
        return lines;
    }

    /// Texts side by side in their columns; the row is as tall as its longest column.
    void addRow(Block& block, double points, const QList<std::pair<QString, Column>>& cells)
    {
        int rows = 1;
        for (const auto& [text, column] : cells) {
            const QStringList lines = linesFor(text, points, column);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                block.pieces.append({column.x, block.height + i * lineHeight(points), points,
                                     column.width, lines[i], false});
            }
            rows = std::max(rows, int(lines.size()));
        }
        block.height += rows * lineHeight(points);
    }

    QList<Block> blocksOf(const CeremonyList& list)
    {
        QList<Block> blocks;
        for (qsizetype e = 0; e < list.events.size(); ++e) {
            const CeremonyEvent& event = list.events[e];
            Block title{kHeadingGap, {}, true, e, true};
            addRow(title, kTitlePoints, {{event.title, kWholeLine}});
            title.pieces.append({0.0, title.height, 0.0, 0.0, QString(), true});
            title.height += kEntryGap;
            addRow(title, kCaptionPoints,
                   {{Words::tr("Rank"), kRank},
                    {Words::tr("Name"), kName},
                    {Words::tr("Affiliation"), kAffiliation},
                    {Words::tr("Prefecture"), kPrefecture},
                    {Words::tr("Time"), kResult},
                    {Words::tr("Record mark"), kMark}});
            blocks.append(title);
            for (const CeremonyGroup& group : event.groups) {
                if (!group.heading.isEmpty()) {
                    Block heading{kEntryGap, {}, true, e, false};
                    addRow(heading, kGroupPoints, {{group.heading, kWholeLine}});
                    blocks.append(heading);
                }
                for (const CeremonyEntry& entry : group.entries)
                    blocks.append(entryBlock(entry, e));
            }
        }
        return blocks;
    }

private:
    Block entryBlock(const CeremonyEntry& entry, qsizetype event)
    {
        Block block{kEntryGap, {}, false, event, false};
        const bool team = !entry.legs.isEmpty() || entry.name.isEmpty();
        QList<std::pair<QString, Column>> cells{{entry.rank, kRank}};
        if (team) {
            cells.append({entry.affiliation, kTeam});
        } else {
            cells.append({entry.name, kName});
            cells.append({entry.affiliation, kAffiliation});
        }
        cells.append({entry.prefecture, kPrefecture});
        cells.append({entry.result, kResult});
        cells.append({entry.mark, kMark});
        addRow(block, kEntryPoints, cells);
        for (const QString& leg : entry.legs)
            addRow(block, kLegPoints, {{leg, kLeg}});
        return block;
    }

    PrintDevice& device_;
};

/// The blocks of each page, in order. A block goes to the next page when it does not fit,
/// and so does a heading when what it heads would not follow it on the same page.
QList<QList<Block>> paginate(const QList<Block>& blocks)
{
    constexpr double kRoom = kBodyBottom - kBodyTop;
    QList<QList<Block>> pages;
    double used = kRoom; // no page yet
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        double needed = blocks[i].height;
        for (qsizetype j = i; j + 1 < blocks.size() && blocks[j].keepWithNext; ++j)
            needed += blocks[j + 1].height;
        const bool pageHasSome = !pages.isEmpty() && !pages.last().isEmpty();
        if (!pageHasSome || used + needed > kRoom) {
            if (pages.isEmpty() || pageHasSome)
                pages.append(QList<Block>());
            // A page that goes on with an event begins with its title, continued.
            used = blocks[i].isTitle ? 0.0 : lineHeight(kGroupPoints);
        }
        pages.last().append(blocks[i]);
        used += blocks[i].height;
    }
    return pages;
}

void drawPiece(PrintDevice& device, const Piece& piece, double top)
{
    if (piece.rule) {
        device.drawLine(0.0, top + piece.dy, kCeremonyPageWidth, top + piece.dy);
        return;
    }
    device.setFontSize(piece.points);
    device.setMaxWidth(piece.maxWidth);
    device.setPosition(piece.x, top + piece.dy);
    device.drawText(piece.text);
}

void drawText(PrintDevice& device, double x, double y, double points, const QString& text)
{
    device.setFontSize(points);
    device.setMaxWidth(0.0);
    device.setPosition(x, y);
    device.drawText(text);
}

} // namespace

int drawCeremonyList(PrintDevice& device, const CeremonyList& list, const QDateTime& printedAt)
{
    if (list.events.isEmpty())
        return 0;
    device.setFontFace(QString::fromUtf16(kWindowFace));
    ListComposer composer(device);
    const QList<QList<Block>> pages = paginate(composer.blocksOf(list));
    const QString printed = Words::tr("Printed %1").arg(printedAt.toString(u"yyyy/MM/dd HH:mm"_qs));
    const double footerY = kCeremonyPageHeight - lineHeight(kFooterPoints);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        drawText(device, 0.0, 0.0, kHeaderPoints, list.meetName);
        double top = kBodyTop;
        const QList<Block>& page = pages[p];
        if (!page.isEmpty() && !page.first().isTitle) {
            // The presenter turning the page still sees which event is read.
            const QString& title = list.events[page.first().event].title;
            drawText(device, 0.0, top, kGroupPoints, Words::tr("%1 (continued)").arg(title));
            top += lineHeight(kGroupPoints);
        }
        for (const Block& block : page) {
            for (const Piece& piece : block.pieces)
                drawPiece(device, piece, top);
            top += block.height;
        }
        const QString pageNumber = Words::tr("page %1 / %2").arg(p + 1).arg(pages.size());
        device.setFontSize(kFooterPoints);
        const double numberWidth = device.textWidth(pageNumber);
        drawText(device, (kCeremonyPageWidth - numberWidth) / 2.0, footerY, kFooterPoints,
                 pageNumber);
        device.setFontSize(kFooterPoints);
        drawText(device, kCeremonyPageWidth - device.textWidth(printed), footerY, kFooterPoints,
                 printed);
        device.endPage();
    }
    return int(pages.size());
}

QString ceremonyDocumentName(const CeremonyList& list)
{
    if (list.events.size() == 1)
        return Words::tr("Award list %1").arg(list.events.first().title);
    return Words::tr("Award list (%n events)", nullptr, int(list.events.size()));
}

} // namespace tarvel
