// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeactions.h"
#include "fileformats.h"
#include "parameterfile.h"
#include "savefile.h"
#include "treehistory.h"
#include "treeview.h"
#include "viewmenu.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QUndoStack>

namespace {

// The busy cursor, for as long as it lives
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY(BusyCursor)
};

} // namespace

TreeActions::TreeActions(TreeView *view, TreeHistory *history)
    : QObject(view)
    , view(view)
    , history(history)
    , start(history->state())
{
    const auto addAction = [this, view](const QString &text, const QString &icon,
                                        const QKeySequence &keys, void (TreeActions::*slot)()) {
        connect(addMenuAction(view, this, text, icon, {keys}), &QAction::triggered, this, slot);
    };
    addAction(tr("&Save…"), QStringLiteral("document-save-as"), QKeySequence::Save,
              &TreeActions::save);
    addAction(tr("&Open…"), QStringLiteral("document-open"), QKeySequence::Open,
              &TreeActions::open);
    addMenuSeparator(view, this);
    addAction(tr("&Copy"), QStringLiteral("edit-copy"), QKeySequence::Copy, &TreeActions::copy);
    addAction(tr("&Paste"), QStringLiteral("edit-paste"), QKeySequence::Paste, &TreeActions::paste);
    addMenuSeparator(view, this);
    // "Undo Angle", "Redo Paste", as the step at hand is named
    QAction *undo = history->steps()->createUndoAction(this, tr("&Undo"));
    undo->setIcon(QIcon::fromTheme(QStringLiteral("edit-undo")));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = history->steps()->createRedoAction(this, tr("&Redo"));
    redo->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo")));
    redo->setShortcut(QKeySequence::Redo);
    for (QAction *action : {undo, redo}) {
        action->setShortcutVisibleInContextMenu(true);
        view->addAction(action);
    }
    addMenuSeparator(view, this);
    addAction(tr("&Reset Parameters"), QStringLiteral("document-revert"), QKeySequence(),
              &TreeActions::reset);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);

    // Qt opens the menu by the Menu key; Shift+F10 is the other key for it.
    auto *menuKey = new QShortcut(QKeySequence(QStringLiteral("Shift+F10")), view);
    menuKey->setContext(Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [view] {
        const QPoint centre = view->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, centre, view->mapToGlobal(centre));
        QCoreApplication::sendEvent(view, &event);
    });
}

bool TreeActions::saveAs(const QString &fileName, const FileFormat *format)
{
    folder = QFileInfo(fileName).absolutePath();
    QString note;
    QString error;
    bool saved = false;
    {
        const BusyCursor busy;
        saved = saveTree({view, parameterLine(history->state()), PlotterPage()}, fileName, format,
                         &note, &error);
    }
    const QString name = QDir::toNativeSeparators(fileName);
    if (!saved)
        tell(tr("Save"), tr("Cannot save “%1”: %2.").arg(name, error));
    else if (!note.isEmpty())
        tell(tr("Save"), tr("Saved “%1”: %2.").arg(name, note), false);
    return saved;
}

bool TreeActions::openFile(const QString &fileName)
{
    folder = QFileInfo(fileName).absolutePath();
    QString line;
    QString error;
    bool read = false;
    {
        const BusyCursor busy;
        read = readParameterText(fileName, &line, &error);
    }
    if (read && take(tr("Open"), line, &error))
        return true;
    tell(tr("Open"),
         tr("Cannot take the parameters from “%1”: %2.")
                 .arg(QDir::toNativeSeparators(fileName), error));
    return false;
}

void TreeActions::save()
{
    QFileDialog dialog(view->window(), tr("Save"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const FileFormat &format : fileFormats())
        filters << QCoreApplication::translate("FileFormats", format.filter);
    dialog.setNameFilters(filters);
    const auto formatOf = [&filters](const QString &filter) -> const FileFormat & {
        return fileFormats()[qMax(0, int(filters.indexOf(filter)))];
    };
    // A name without a suffix gets the chosen format's.
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &filter) {
        dialog.setDefaultSuffix(QLatin1String(formatOf(filter).suffix));
    });
    dialog.selectFile(QStringLiteral("linetree.png"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The format chosen, where the name's suffix is its own, as the plotter's
    // SVG is; else the one that the suffix gives
    const QString fileName = dialog.selectedFiles().value(0);
    const FileFormat &chosen = formatOf(dialog.selectedNameFilter());
    const bool suffixChosen = QFileInfo(fileName).suffix().compare(QLatin1String(chosen.suffix),
                                                                   Qt::CaseInsensitive)
            == 0;
    saveAs(fileName, suffixChosen ? &chosen : nullptr);
}

void TreeActions::open()
{
    const QString fileName = QFileDialog::getOpenFileName(
            view->window(), tr("Open"), folder,
            tr("Pictures, models and texts with linetree parameters (*.%1 *.txt);;All files (*)")
                    .arg(savedSuffixes().join(QLatin1String(" *."))));
    if (!fileName.isEmpty())
        openFile(fileName);
}

// The picture for pasting as an image, the parameter line as text
void TreeActions::copy()
{
    auto *copied = new QMimeData;
    {
        const BusyCursor busy;
        copied->setImageData(view->grabFrame().convertToFormat(QImage::Format_RGB32));
    }
    copied->setText(parameterLine(history->state()));
    QGuiApplication::clipboard()->setMimeData(copied);
}

void TreeActions::paste()
{
    // As much as a file would be read of, however much was copied
    const QString line
            = findParameterLine(QGuiApplication::clipboard()->text().left(parameterHeadSize));
    QString error = QStringLiteral("it holds no linetree parameters");
    if (!line.isEmpty() && take(tr("Paste"), line, &error))
        return;
    tell(tr("Paste"), tr("Cannot take the parameters from the clipboard: %1.").arg(error));
}

void TreeActions::reset()
{
    history->change(tr("Reset Parameters"), start);
}

// Nothing is taken unless all five values are the sliders' to take, in one
// step named `text`; a line without the view leaves it as it is.
bool TreeActions::take(const QString &text, const QString &line, QString *error)
{
    TreeState read = history->state();
    if (!readParameterLine(line, lowestParameters, highestParameters, &read, error))
        return false;
    history->change(text, read);
    return true;
}

// What a message quotes came from a file or the clipboard: it is shown as
// it is, never as rich text.
void TreeActions::tell(const QString &title, const QString &text, bool warning) const
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, title, text,
                    QMessageBox::Ok, view->window());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
