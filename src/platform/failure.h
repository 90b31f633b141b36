#pragma once
/// The one exception type of the program: an operation that could not be completed.

#include <QString>

#include <exception>
#include <string>

namespace tarvel {

/// Thrown when a file cannot be opened, read or written, or a number does not fit its
/// width. Carries what was being done, the file it was done to (empty when none) and the
/// system's reason, so that the operator can be told all three.
class Failure : public std::exception {
public:
    Failure(QString action, QString path, QString reason);

    /// What was being done, e.g. "reading the race status".
    const QString& action() const { return action_; }
    /// The file as the program names it (may be empty).
    const QString& path() const { return path_; }
    /// Why it failed, e.g. the system's error text.
    const QString& reason() const { return reason_; }

    /// "action: path: reason" (the path left out when empty).
    QString message() const;
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString action_;
    QString path_;
    QString reason_;
    std::string utf8_;
};

} // namespace tarvel
