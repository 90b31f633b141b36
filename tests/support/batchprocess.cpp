#include "batchprocess.h"

#include <QProcess>

namespace tarvel::testing {

QString batchProgram()
{
    QString dir = qEnvironmentVariable("TARVEL_BIN");
    if (dir.isEmpty())
        dir = QString::fromUtf8(TARVEL_BIN_DIR);
    return dir + u"/tarvel-batch"_qs;
}

BatchOutcome runBatch(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(batchProgram(), arguments);
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace tarvel::testing
