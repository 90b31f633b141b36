#pragma once
/// A meet in a temporary folder that goes with the test, and small file helpers.

#include "meetbuilder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tarvel::testing {

/// A MeetBuilder over a fresh temporary folder, removed when the object goes.
class TempMeet {
public:
    TempMeet();

    sample::MeetBuilder& builder() { return builder_; }
    const sample::MeetBuilder& builder() const { return builder_; }
    DataLocations locations() const { return builder_.locations(); }
    /// POSIX path of a file in the data folder.
    QString dataPath(const QString& name) const;

private:
    QTemporaryDir dir_;
    sample::MeetBuilder builder_;
};

QByteArray readFileBytes(const QString& posixPath);
void writeFileBytes(const QString& posixPath, const QByteArray& bytes);

} // namespace tarvel::testing
