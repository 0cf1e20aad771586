// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeactions.h"
#include "openglbaumzeiger.h"
#include "parameterfile.h"
#include "savefile.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>

namespace {

// The fields in the sliders' order
constexpr std::array<int TreeParameters::*, 5> fields {
        &TreeParameters::winkel, &TreeParameters::winkelSkal, &TreeParameters::laenge,
        &TreeParameters::verkuerzung, &TreeParameters::rekTiefe};

// The busy cursor, for as long as it lives
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY(BusyCursor)
};

TreeParameters valuesOf(const std::array<QSlider *, 5> &sliders, int (QSlider::*value)() const)
{
    TreeParameters parameters;
    for (size_t i = 0; i < fields.size(); ++i)
        parameters.*fields[i] = (sliders[i]->*value)();
    return parameters;
}

} // namespace

TreeActions::TreeActions(OpenGLBaumZeiger *view, const std::array<QSlider *, 5> &sliders)
    : QObject(view)
    , view(view)
    , sliders(sliders)
    , start(parameters())
    , startRotation(rotationOf(view))
{
    const auto addAction = [this, view](const QString &text, const QString &icon,
                                        const QKeySequence &keys, void (TreeActions::*slot)()) {
        auto *action = new QAction(QIcon::fromTheme(icon), text, this);
        action->setShortcut(keys);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, slot);
        view->addAction(action);
    };
    const auto addSeparator = [this, view] {
        auto *separator = new QAction(this);
        separator->setSeparator(true);
        view->addAction(separator);
    };
    addAction(tr("&Save…"), QStringLiteral("document-save-as"), QKeySequence::Save,
              &TreeActions::save);
    addAction(tr("&Open…"), QStringLiteral("document-open"), QKeySequence::Open,
              &TreeActions::open);
    addSeparator();
    addAction(tr("&Copy"), QStringLiteral("edit-copy"), QKeySequence::Copy, &TreeActions::copy);
    addAction(tr("&Paste"), QStringLiteral("edit-paste"), QKeySequence::Paste, &TreeActions::paste);
    addSeparator();
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

bool TreeActions::saveAs(const QString &fileName)
{
    folder = QFileInfo(fileName).absolutePath();
    QString error;
    bool saved = false;
    {
        const BusyCursor busy;
        saved = saveTree(view, fileName, line(), &error);
    }
    if (!saved) {
        tell(tr("Save"),
             tr("Cannot save “%1”: %2.").arg(QDir::toNativeSeparators(fileName), error));
    }
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
    if (read && take(line, &error))
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
    dialog.setNameFilters({tr("PNG image (*.png)"), tr("SVG drawing (*.svg)"),
                           tr("PDF document (*.pdf)"), tr("OBJ 3D model (*.obj)"),
                           tr("glTF binary model (*.glb)")});
    // A name without a suffix gets the chosen format's.
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter.section(QLatin1String("*."), 1).chopped(1));
    });
    dialog.selectFile(QStringLiteral("linetree.png"));
    if (dialog.exec() == QDialog::Accepted)
        saveAs(dialog.selectedFiles().value(0));
}

void TreeActions::open()
{
    const QString fileName = QFileDialog::getOpenFileName(
            view->window(), tr("Open"), folder,
            tr("Pictures, models and texts with linetree parameters (*.png *.svg *.pdf *.obj "
               "*.glb *.txt);;"
               "All files (*)"));
    if (!fileName.isEmpty())
        openFile(fileName);
}

// The picture for pasting as an image, the parameter line as text
void TreeActions::copy()
{
    auto *copied = new QMimeData;
    {
        const BusyCursor busy;
        copied->setImageData(grabFrame(view).convertToFormat(QImage::Format_RGB32));
    }
    copied->setText(line());
    QGuiApplication::clipboard()->setMimeData(copied);
}

void TreeActions::paste()
{
    // As much as a file would be read of, however much was copied
    const QString line
            = findParameterLine(QGuiApplication::clipboard()->text().left(parameterHeadSize));
    QString error = QStringLiteral("it holds no linetree parameters");
    if (!line.isEmpty() && take(line, &error))
        return;
    tell(tr("Paste"), tr("Cannot take the parameters from the clipboard: %1.").arg(error));
}

void TreeActions::reset()
{
    setTree(start, startRotation);
}

TreeParameters TreeActions::parameters() const
{
    return valuesOf(sliders, &QSlider::value);
}

QString TreeActions::line() const
{
    return parameterLine(parameters(), rotationOf(view));
}

// Nothing is taken unless all five values are the sliders' to take; a line
// without the view's rotation leaves it as it is.
bool TreeActions::take(const QString &line, QString *error)
{
    TreeParameters read;
    ViewRotation rotation = rotationOf(view);
    if (!readParameterLine(line, valuesOf(sliders, &QSlider::minimum),
                           valuesOf(sliders, &QSlider::maximum), &read, &rotation, error))
        return false;
    setTree(read, rotation);
    return true;
}

void TreeActions::setTree(const TreeParameters &wanted, const ViewRotation &rotation)
{
    if (wanted == parameters()) {
        turnView(view, rotation);
        return;
    }
    // The sliders move as a screen reader hears them, telling the view
    // nothing: it takes all five values below.
    for (size_t i = 0; i < fields.size(); ++i) {
        const QSignalBlocker quiet(sliders[i]);
        sliders[i]->setValue(wanted.*fields[i]);
    }
    // The view shows an empty frame while the values go in: held back with
    // setUpdatesEnabled(), a QOpenGLWidget would come back grey. It is turned
    // first, for its next frame, so that no frame of the old tree is drawn
    // turned.
    setRotation(view, rotation);
    giveParameters(view, wanted);
}

// What a message quotes came from a file or the clipboard: it is shown as
// it is, never as rich text.
void TreeActions::tell(const QString &title, const QString &text) const
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, view->window());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
