#include "ui/program.h"

#include "platform/qt/fonts.h"
#include "ui/failurereport.h"

namespace tarvel::ui {

std::unique_ptr<FrmBrev> openMainWindow(PrintTargetFactory openPrintTarget,
                                        const QString& locationFile)
{
    registerFontSubstitutions();
    auto window = std::make_unique<FrmBrev>(std::move(openPrintTarget));
    try {
        window->start(locationFile);
    } catch (const Failure& failure) {
        reportFailure(nullptr, failure);
        return nullptr;
    }
    return window;
}

} // namespace tarvel::ui
