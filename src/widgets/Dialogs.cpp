#include "widgets/Dialogs.h"

#include "widgets/ComparisonDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QString caption() { return QApplication::applicationDisplayName(); }

class QtDialogs final : public Dialogs {
public:
    void error(const QString &text, QWidget *parent) override
    {
        QMessageBox::critical(parent, caption(), shownText(text));
    }
    void message(const QString &text, QWidget *parent) override
    {
        QMessageBox::information(parent, caption(), shownText(text));
    }
    bool ask(Question &request, QWidget *parent) override
    {
        QMessageBox box(QMessageBox::Question, caption(), shownText(request.text), QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(request.defaultYes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        QCheckBox *dontAsk = nullptr;
        if (request.offerDontAsk) {
            dontAsk = new QCheckBox(QStringLiteral("Don't ask again"), &box);
            dontAsk->setAccessibleName(dontAsk->text());
            box.setCheckBox(dontAsk);
        }
        const bool yes = box.exec() == QMessageBox::Yes;
        // Only a Yes is remembered: a No with the box ticked would silence a question never agreed to.
        request.dontAskAgain = yes && dontAsk && dontAsk->isChecked();
        return yes;
    }
    bool warningOkCancel(const QString &text, QWidget *parent) override
    {
        return QMessageBox::warning(parent, caption(), shownText(text), QMessageBox::Ok | QMessageBox::Cancel,
                                    QMessageBox::Ok) == QMessageBox::Ok;
    }
    void warning(const QString &text, QWidget *parent) override
    {
        QMessageBox::warning(parent, caption(), shownText(text));
    }
    bool comparison(Comparison &request, QWidget *parent) override
    {
        ComparisonDialog dialog(request, parent);
        const bool ok = dialog.exec() == QDialog::Accepted && request.confirm;
        if (dialog.dontShowAgain())
            request.dontShowAgain = dialog.dontShowAgain()->isChecked();
        return ok;
    }
    QString openFile(FileRequest &request, QWidget *parent) override
    {
        return run(request, parent, QFileDialog::AcceptOpen);
    }
    QString saveFile(FileRequest &request, QWidget *parent) override
    {
        return run(request, parent, QFileDialog::AcceptSave);
    }
    bool print(QPrinter &printer, QWidget *parent) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    bool printerSetup(QPrinter &printer, QWidget *parent) override
    {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    std::optional<QColor> color(const QColor &initial, QWidget *parent) override
    {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }

private:
    static QString run(FileRequest &request, QWidget *parent, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent, request.title, request.directory);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setNameFilters(request.filters);
        if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
            dialog.selectNameFilter(request.filters.at(request.filterIndex));
        if (!request.confirmOverwrite)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.defaultSuffix.isEmpty())
            dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        request.filterIndex = request.filters.indexOf(dialog.selectedNameFilter());
        return dialog.selectedFiles().constFirst();
    }
};

Dialogs *installed = nullptr;

}  // namespace

QString Dialogs::shownText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

Dialogs &Dialogs::instance()
{
    static QtDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
}

void Dialogs::install(Dialogs *dialogs) { installed = dialogs; }
