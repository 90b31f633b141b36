#pragma once
/// The one exception type of the program: an operation that could not be completed.

#include <QString>

#include <exception>
#include <optional>
#include <string>

namespace tarvel {

/// Thrown when a file cannot be opened, read or written, or a number does not fit its
/// width. Carries what was being done, the file it was done to (empty when none), where in
/// a record file when that is known (the record and its byte offset) and the system's
/// reason, so that the operator can be told all of them and a caller can act on the record.
class Failure : public std::exception {
public:
    /// What kind of trouble it is, for the callers that go on after some kinds.
    enum class Kind {
        System,      ///< the system failed us: a file cannot be opened, read or written
        Missing,     ///< a file that must be there is not
        Damaged,     ///< a file is there but what it holds cannot be used (a record past its
                     ///< end, a number that does not fit, an index that names nothing)
        Busy,        ///< another holds what is needed for now (the meet's run lock)
        Unreachable, ///< a service does not answer or refuses to connect (the print
                     ///< scheduler): the document in hand counts as not delivered
    };

    /// What path() names.
    enum class Subject {
        File,    ///< a file or folder
        Printer, ///< a print destination, or the scheduler that serves it
    };

    Failure(QString action, QString path, QString reason, Kind kind = Kind::System);

    /// Where in a record file it failed: record `record` (from 1), beginning at byte
    /// `offset` when that is known.
    struct Place {
        qint64 record = 0;
        std::optional<qint64> offset;
    };
    /// A failure at `place` of the record file `path`.
    Failure(QString action, QString path, Place place, QString reason, Kind kind = Kind::System);
    /// A failure of the print destination or scheduler `printer`.
    static Failure ofPrinter(QString action, QString printer, QString reason,
                             Kind kind = Kind::System)
    {
        Failure failure(std::move(action), std::move(printer), std::move(reason), kind);
        failure.subject_ = Subject::Printer;
        return failure;
    }

    /// What was being done, e.g. "reading the race status".
    const QString& action() const { return action_; }
    /// The file as the program names it (may be empty).
    const QString& path() const { return path_; }
    /// Why it failed, e.g. the system's error text.
    const QString& reason() const { return reason_; }

    Kind kind() const { return kind_; }
    Subject subject() const { return subject_; }
    /// The record (from 1) and its byte offset, when the failure concerns one record.
    std::optional<qint64> record() const { return record_; }
    std::optional<qint64> offset() const { return offset_; }

    /// "action: path: record R at byte O: reason" (the path and the record left out when
    /// there are none, the offset when it is not known).
    QString message() const;
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString action_;
    QString path_;
    QString reason_;
    Kind kind_ = Kind::System;
    Subject subject_ = Subject::File;
    std::optional<qint64> record_;
    std::optional<qint64> offset_;
    std::string utf8_;
};

} // namespace tarvel
