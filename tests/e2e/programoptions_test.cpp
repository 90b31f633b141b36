// --help and --version of every program answer on a machine without a display.

#include "batchprocess.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace tarvel::testing {
namespace {

struct OptionCase {
    const char* program;
    const char* option;
    /// What the first line of the answer begins with.
    const char* firstLine;
};

class ProgramOptionsTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ProgramOptionsTest, AnswersWithoutADisplayAndEndsWell)
{
    const OptionCase row = GetParam();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : {u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"QT_QPA_PLATFORM"_qs})
        environment.remove(variable);
    // tarvel-batch follows the locale (English here); the window speaks Japanese whatever it is.
    environment.remove(u"LC_ALL"_qs);
    environment.remove(u"LANGUAGE"_qs);
    environment.insert(u"LANG"_qs, u"C.UTF-8"_qs);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QFileInfo(batchProgram()).absolutePath() + u'/' + QString::fromUtf8(row.program),
                  {QString::fromUtf8(row.option)});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit) << qPrintable(err);
    EXPECT_EQ(process.exitCode(), 0) << qPrintable(err);
    EXPECT_TRUE(out.startsWith(QString::fromUtf8(row.firstLine))) << qPrintable(out);
}

INSTANTIATE_TEST_SUITE_P(
    EveryProgram, ProgramOptionsTest,
    ::testing::Values(OptionCase{"tarvel", "--version", "tarvel " TARVEL_VERSION "\n"},
                      OptionCase{"tarvel", "--help", "使い方"},
                      OptionCase{"tarvel-batch", "--version", "tarvel-batch " TARVEL_VERSION "\n"},
                      OptionCase{"tarvel-batch", "--help", "Usage"},
                      OptionCase{"tarvel-sample-meet", "--version",
                                 "tarvel-sample-meet " TARVEL_VERSION "\n"},
                      OptionCase{"tarvel-sample-meet", "--help", "Usage"}),
    [](const ::testing::TestParamInfo<OptionCase>& info) {
        std::string name = std::string(info.param.program) + info.param.option;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

} // namespace
} // namespace tarvel::testing
