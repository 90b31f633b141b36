#include "ui/program.h"

#include "meetdb/meetplaces.h"
#include "platform/paths.h"
#include "platform/qt/fonts.h"
#include "ui/failurereport.h"
#include "ui/meetchooser.h"

#include <QDir>
#include <QFileInfo>

namespace tarvel::ui {

std::unique_ptr<FrmBrev> openMainWindow(const DeskServices& services, const QString& locationFile)
{
    registerFontSubstitutions();
    QString location = locationFile;
    bool chosen = false;
    for (;;) {
        if (!QFileInfo::exists(hostPath(location))) {
            const std::optional<QString> folder =
                MeetChooser::choose(location, QDir::currentPath());
            if (!folder)
                return nullptr;
            // As if started beside the meet's ctl folder: its paths, relative ones included,
            // read as they would from there.
            QDir::setCurrent(*folder);
            location = QDir(*folder).filePath(QString::fromUtf16(kLocationFileName));
            chosen = true;
        }
        auto window = std::make_unique<FrmBrev>(services);
        try {
            window->start(location);
            RememberedMeets::remember(QFileInfo(hostPath(location)).absolutePath());
            return window;
        } catch (const Failure& failure) {
            reportFailure(nullptr, failure);
            if (!chosen)
                return nullptr;      // the meet was there and cannot be opened: nothing to work on
            location = locationFile; // a chosen meet that fails: choose again
            QDir::setCurrent(QDir::homePath());
        }
    }
}

} // namespace tarvel::ui
