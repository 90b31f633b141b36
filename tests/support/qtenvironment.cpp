// One QApplication for the whole test binary, with the font substitutions the programs
// register at start. The tests never see a real printer: CUPS is pointed at a socket that
// does not exist, unless a test points it at a private scheduler of its own.
#include "platform/qt/fonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("CUPS_SERVER", QDir::tempPath().toLocal8Bit() + "/tarvel-no-cups.sock");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        tarvel::registerFontSubstitutions();
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "tarvel-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
