// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef EXAMPLESDIALOG_H
#define EXAMPLESDIALOG_H

#include <QDialog>

class QListWidget;

// The example trees as pictures with their names, in the order of their
// file names, the first one chosen. Return or a double click takes the one
// chosen, Escape none.
class ExamplesDialog : public QDialog
{
    Q_OBJECT

public:
    ExamplesDialog(const QString &folder, QWidget *parent);

    // The chosen example's file
    QString chosen() const;

private:
    QListWidget *list;
};

#endif // EXAMPLESDIALOG_H
