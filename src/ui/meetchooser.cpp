#include "ui/meetchooser.h"

#include "meetdb/meetplaces.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

MeetChooser::MeetChooser(const QString& lookedFor, const QString& workingFolder, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"meetChooser"_s);
    setWindowTitle(u"Tarvel"_s);
    auto* layout = new QVBoxLayout(this);
    auto* told = new QLabel(
        tr("The meet's location file was not found.\n\nLooked for: %1\nfrom the folder: %2\n\n"
           "Choose the meet: one opened before, or its ctl folder or its dr_kyo.ctl.")
            .arg(QDir::toNativeSeparators(lookedFor), QDir::toNativeSeparators(workingFolder)),
        this);
    told->setObjectName(u"lblLookedFor"_s);
    told->setWordWrap(true);
    told->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(told);

    recent_ = new QListWidget(this);
    recent_->setObjectName(u"lstMeets"_s);
    for (const QString& folder : RememberedMeets::list())
        recent_->addItem(QDir::toNativeSeparators(folder));
    recent_->setVisible(recent_->count() > 0);
    layout->addWidget(recent_);

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(tr("Open"), QDialogButtonBox::AcceptRole);
    open_->setObjectName(u"cmdOpen"_s);
    open_->setEnabled(false);
    QPushButton* choose = buttons->addButton(tr("Choose..."), QDialogButtonBox::ActionRole);
    choose->setObjectName(u"cmdChoose"_s);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(u"cmdCancel"_s);
    layout->addWidget(buttons);

    connect(recent_, &QListWidget::currentRowChanged, this,
            [this](int row) { open_->setEnabled(row >= 0); });
    connect(recent_, &QListWidget::itemDoubleClicked, this, [this] { openSelected(); });
    connect(open_, &QPushButton::clicked, this, [this] { openSelected(); });
    connect(choose, &QPushButton::clicked, this, [this] { browse(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (recent_->count() > 0)
        recent_->setCurrentRow(0);
}

void MeetChooser::openSelected()
{
    if (QListWidgetItem* item = recent_->currentItem())
        take(QDir::fromNativeSeparators(item->text()));
}

void MeetChooser::browse()
{
    // Qt's own dialog: it speaks the operator's language and tests can drive it.
    QFileDialog dialog(this, tr("Choose the meet's ctl folder or its dr_kyo.ctl"));
    dialog.setObjectName(u"meetFileDialog"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("Location file (dr_kyo.ctl *.ctl);;All files (*)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    take(dialog.selectedFiles().first());
}

void MeetChooser::take(const QString& path)
{
    const std::optional<QString> folder = locationFolderOf(path);
    if (!folder) {
        QMessageBox::warning(this, u"Tarvel"_s,
                             tr("There is no dr_kyo.ctl in %1, nor in a ctl folder there.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    chosen_ = *folder;
    accept();
}

std::optional<QString> MeetChooser::choose(const QString& lookedFor, const QString& workingFolder)
{
    MeetChooser chooser(lookedFor, workingFolder);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.chosenFolder();
}

} // namespace tarvel::ui
