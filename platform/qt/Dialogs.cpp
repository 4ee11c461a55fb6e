#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>

#include <map>
#include <vector>

#include "platform/Files.h"
#include "platform/Seams.h"

namespace fw {

namespace {

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString Key(const std::string& name)
{
    return ToQt(name).toCaseFolded();
}

// Registered file types by case-folded Name: "image/jpeg" and "Image/JPEG"
// are the same type.
std::map<QString, std::shared_ptr<FileType>>& Registry()
{
    static std::map<QString, std::shared_ptr<FileType>> registry;
    return registry;
}

QStringList ExtensionsOf(const FileType& type)
{
    QStringList result;
    for (QString extension : ToQt(type.Extensions()).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        extension = extension.trimmed();
        if (extension.isEmpty())
            continue;
        if (!extension.startsWith(QLatin1Char('.')))
            extension.prepend(QLatin1Char('.'));
        result << extension;
    }
    return result;
}

std::vector<std::shared_ptr<FileType>> TypesNamed(const std::string& filter)
{
    std::vector<std::shared_ptr<FileType>> types;
    for (const QString& name : ToQt(filter).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (auto type = FindFileType(name.trimmed().toStdString()))
            types.push_back(type);
    }
    return types;
}

// Shows folders and the files of the chosen types, whatever the case of
// their extensions (a camera's "IMG_0001.JPG" must be offered).
class FileTypeFilter : public QSortFilterProxyModel {
public:
    FileTypeFilter(std::vector<std::shared_ptr<FileType>> types, QObject* parent)
        : QSortFilterProxyModel(parent)
        , m_types(std::move(types))
    {
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QModelIndex index = files->index(row, 0, parent);
        if (files->isDir(index))
            return true;
        const std::string name = files->fileName(index).toStdString();
        for (const auto& type : m_types) {
            if (type->Matches(name))
                return true;
        }
        return false;
    }

private:
    std::vector<std::shared_ptr<FileType>> m_types;
};

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon IconFor(int32_t icon)
{
    switch (icon) {
    case 0:
        return QMessageBox::Information;
    case 1:
        return QMessageBox::Warning;
    case 2:
        return QMessageBox::Critical;
    case 3:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

// Message texts may carry what a web server sent (the update description),
// so they are always shown as plain text, never interpreted as markup.
void MakePlain(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

} // namespace

std::string FileType::ToText()
{
    auto& registry = Registry();
    const QString key = Key(m_name);
    auto self = std::static_pointer_cast<FileType>(weak_from_this().lock());
    if (!self) {
        // Not held by a shared pointer: the framework keeps its own copy.
        self = std::make_shared<FileType>(*this);
    }
    auto found = registry.find(key);
    if (found == registry.end() || found->second.get() != this)
        registry[key] = self;
    return m_name;
}

bool FileType::Matches(const std::string& fileName) const
{
    const QString name = ToQt(fileName);
    for (const QString& extension : ExtensionsOf(*this)) {
        // The name must have something before its extension.
        if (name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::shared_ptr<FileType> FindFileType(const std::string& name)
{
    auto& registry = Registry();
    auto found = registry.find(Key(name));
    return found == registry.end() ? nullptr : found->second;
}

std::shared_ptr<FolderItem> OpenDialog::ShowModal()
{
    ModalScope modal;
    if (auto answer = Seams::GetOpenDialogAnswer())
        return answer(*this);

    QFileDialog dialog(DialogParent(), ToQt(Title));
    // Our own dialog, so the filter below applies and the prompt shows.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowModality(Qt::ApplicationModal);

    auto types = TypesNamed(Filter);
    if (!types.empty()) {
        QStringList names;
        QStringList patterns;
        for (const auto& type : types) {
            names << ToQt(type->Name());
            for (const QString& extension : ExtensionsOf(*type))
                patterns << QLatin1Char('*') + extension;
        }
        // The proxy does the matching (ignoring case); the filter line only
        // tells the player what is offered.
        dialog.setProxyModel(new FileTypeFilter(types, &dialog));
        dialog.setNameFilter(names.join(QStringLiteral(", ")) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")"));
    }
    if (!PromptText.empty()) {
        auto* prompt = new QLabel(ToQt(PromptText), &dialog);
        prompt->setTextFormat(Qt::PlainText);
        prompt->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(prompt, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return nullptr;
    return std::make_shared<FolderItem>(chosen.first().toStdString());
}

void MsgBox(const std::string& text)
{
    ModalScope modal;
    if (auto answer = Seams::GetMessageBoxAnswer()) {
        answer(text);
        return;
    }
    QMessageBox box(DialogParent());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setIcon(QMessageBox::Information);
    box.setText(ToQt(text));
    box.setStandardButtons(QMessageBox::Ok);
    MakePlain(box);
    box.exec();
}

MessageDialog::MessageDialog()
    : ActionButton(std::make_shared<MessageDialogButton>())
    , CancelButton(std::make_shared<MessageDialogButton>())
    , AlternateActionButton(std::make_shared<MessageDialogButton>())
{
    ActionButton->Caption = "OK";
    ActionButton->Visible = true;
    CancelButton->Caption = "Cancel";
    CancelButton->Visible = false;
    AlternateActionButton->Caption = "";
    AlternateActionButton->Visible = false;
}

std::shared_ptr<MessageDialogButton> MessageDialog::ShowModal()
{
    ModalScope modal;
    if (auto answer = Seams::GetMessageDialogAnswer()) {
        auto pressed = answer(*this);
        // An answer that presses nothing closed the dialog.
        return pressed ? pressed : CancelButton;
    }

    QMessageBox box(DialogParent());
    box.setWindowTitle(ToQt(Title));
    box.setIcon(IconFor(Icon));
    box.setText(ToQt(Message));
    box.setInformativeText(ToQt(Explanation));
    std::map<QAbstractButton*, std::shared_ptr<MessageDialogButton>> buttons;
    if (ActionButton && ActionButton->Visible) {
        QPushButton* button = box.addButton(ToQt(ActionButton->Caption), QMessageBox::AcceptRole);
        box.setDefaultButton(button);
        buttons[button] = ActionButton;
    }
    if (AlternateActionButton && AlternateActionButton->Visible)
        buttons[box.addButton(ToQt(AlternateActionButton->Caption), QMessageBox::ActionRole)] = AlternateActionButton;
    if (CancelButton && CancelButton->Visible) {
        QPushButton* button = box.addButton(ToQt(CancelButton->Caption), QMessageBox::RejectRole);
        box.setEscapeButton(button);
        buttons[button] = CancelButton;
    }
    MakePlain(box);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    auto found = buttons.find(clicked);
    if (found != buttons.end())
        return found->second;
    // No button of ours: the box was closed, or Qt supplied its own OK
    // because none of ours was visible.
    if (clicked && buttons.empty())
        return ActionButton;
    return CancelButton;
}

} // namespace fw
