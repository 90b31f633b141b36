#pragma once
/// The dialog that finds the meet when the location file is not where it was looked for.

#include <QDialog>
#include <QString>

#include <optional>

class QListWidget;
class QPushButton;

namespace tarvel::ui {

/// Says where the location file was looked for (the file and the working folder) and lets
/// the operator choose the meet: one remembered from before (listed first, the last chosen
/// at the top), or a meet's ctl folder or its dr_kyo.ctl through a file dialog. A choice
/// that holds no location file is told and the dialog stays.
class MeetChooser final : public QDialog {
    Q_OBJECT
public:
    MeetChooser(const QString& lookedFor, const QString& workingFolder, QWidget* parent = nullptr);

    /// The folder of the chosen meet's location file, once accepted.
    const QString& chosenFolder() const { return chosen_; }

    /// Shows the dialog; the chosen location folder, or nothing when cancelled.
    static std::optional<QString> choose(const QString& lookedFor, const QString& workingFolder);

private:
    void browse();
    void openSelected();
    /// Accepts `path` when it leads to a location file; tells the operator otherwise.
    void take(const QString& path);

    QListWidget* recent_ = nullptr;
    QPushButton* open_ = nullptr;
    QString chosen_;
};

} // namespace tarvel::ui
