#pragma once
/// tarvel-batch run as a child process, for the end-to-end tests.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tarvel::testing {

struct BatchOutcome {
    int exitCode = -1; ///< -1 when it did not end normally within two minutes
    QString out;
    QString err;
};

/// The tarvel-batch built with the tests ($TARVEL_BIN, or the build's bin folder).
QString batchProgram();

/// Runs tarvel-batch with `arguments` to its end, in `environment` (the test's own when
/// empty).
BatchOutcome runBatch(const QStringList& arguments,
                      const QProcessEnvironment& environment = QProcessEnvironment());

} // namespace tarvel::testing
