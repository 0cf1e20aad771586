// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treehistory.h"
#include "treeview.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QUndoStack>

namespace {

// The fields in the sliders' order
constexpr std::array<int TreeParameters::*, 5> fields {
        &TreeParameters::winkel, &TreeParameters::winkelSkal, &TreeParameters::laenge,
        &TreeParameters::verkuerzung, &TreeParameters::rekTiefe};

// A change of the tree, from `before` to `after`. The steps of one slider
// that one press makes, a drag or a key held down, are one.
class Step : public QUndoCommand
{
public:
    Step(TreeHistory *history, const QString &text, const TreeState &before, const TreeState &after,
         int slider, int press)
        : QUndoCommand(text)
        , history(history)
        , before(before)
        , after(after)
        , withView(before.view != after.view)
        , slider(slider)
        , press(press)
    {
    }

    void undo() override { history->show(before, withView); }
    void redo() override { history->show(after, withView); }
    int id() const override { return slider < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);
        if (press < 0 || next->slider != slider || next->press != press)
            return false;
        after = next->after;
        // A drag that ends where it began changed nothing.
        setObsolete(after == before);
        return true;
    }

private:
    TreeHistory *const history;
    const TreeState before;
    TreeState after;
    const bool withView;
    const int slider; // -1 for a step that is no slider's
    const int press;  // -1 for none held
};

} // namespace

TreeHistory::TreeHistory(TreeView *view, const std::array<QSlider *, 5> &sliders, QObject *parent)
    : QObject(parent)
    , view(view)
    , sliders(sliders)
    , stack(new QUndoStack(this))
    , settled(state().parameters)
{
    // Each step holds two trees of a few numbers.
    stack->setUndoLimit(1000);
    for (size_t i = 0; i < sliders.size(); ++i) {
        connect(sliders[i], &QSlider::valueChanged, this, [this, i] { sliderMoved(int(i)); });
        sliders[i]->installEventFilter(this);
    }
}

TreeState TreeHistory::state() const
{
    TreeState current {TreeParameters(), view->viewState()};
    for (size_t i = 0; i < fields.size(); ++i)
        current.parameters.*fields[i] = sliders[i]->value();
    return current;
}

void TreeHistory::change(const QString &text, const TreeState &changed)
{
    const TreeState before = state();
    if (changed != before)
        stack->push(new Step(this, text, before, changed, -1, -1));
}

void TreeHistory::show(const TreeState &shown, bool withView)
{
    settled = shown.parameters;
    const TreeState current = state();
    const ViewState viewShown = withView ? shown.view : current.view;
    if (shown.parameters == current.parameters) {
        if (viewShown != current.view) {
            view->setViewState(viewShown);
            view->updateGL();
        }
        return;
    }
    // The sliders move as a screen reader hears them, telling the view
    // nothing: it takes all five values below.
    for (size_t i = 0; i < fields.size(); ++i) {
        const QSignalBlocker quiet(sliders[i]);
        sliders[i]->setValue(shown.parameters.*fields[i]);
    }
    // The view first, for the next frame, which shows the new tree
    view->setViewState(viewShown);
    view->setParameters(shown.parameters);
}

// Installed on the sliders before the filter that takes input bursts
// together, it sees the input as the sliders take it: a key's press and
// release once each, whatever repeats between them, and a click after the
// keys before it.
bool TreeHistory::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            held = ++presses;
        break;
    case QEvent::MouseButtonPress:
        held = ++presses;
        break;
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            held = -1;
        break;
    case QEvent::MouseButtonRelease:
        held = -1;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TreeHistory::sliderMoved(int slider)
{
    static const char *const names[]
            = {QT_TR_NOOP("Angle"), QT_TR_NOOP("Angle Scale"), QT_TR_NOOP("Length"),
               QT_TR_NOOP("Length Reduction"), QT_TR_NOOP("Depth")};
    const TreeState before {settled, view->viewState()};
    TreeState after = before;
    after.parameters.*fields[slider] = sliders[slider]->value();
    stack->push(new Step(this, tr(names[slider]), before, after, slider, held));
}
