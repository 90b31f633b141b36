#pragma once
/// Reads the comma-separated text files of the meet-management system (the location file,
/// kijun.dat) and our own layout file, item by item.

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarvel {

/// Items are separated by commas or line breaks (CR LF, LF or CR). Before an item, blanks,
/// tabs and line breaks are skipped. An item that begins with a double quote is the text up
/// to the next double quote; what follows it up to the next comma or line break is passed
/// over. Otherwise an item is the text up to the next comma or line break. The separator
/// that ends an item is consumed. Text is decoded from cp932.
class ListInput {
public:
    explicit ListInput(QByteArray content) : content_(std::move(content)) {}

    /// The next item, or nullopt when the input ends before an item begins (which an
    /// empty item, as in "a,,b", is not).
    std::optional<QString> next();

    bool atEnd() const;

private:
    QByteArray content_;
    qsizetype pos_ = 0;
};

} // namespace tarvel
