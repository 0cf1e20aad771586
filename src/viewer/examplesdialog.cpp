// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "examplesdialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QImageReader>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

const QSize thumbnail(128, 128);

} // namespace

ExamplesDialog::ExamplesDialog(const QString &folder, QWidget *parent)
    : QDialog(parent)
    , list(new QListWidget(this))
{
    setWindowTitle(tr("Examples"));
    list->setViewMode(QListView::IconMode);
    list->setIconSize(thumbnail);
    list->setResizeMode(QListView::Adjust);
    list->setMovement(QListView::Static);
    list->setUniformItemSizes(true);
    list->setAccessibleName(tr("Example trees"));
    // "04-weeping-willow.png" is shown as "weeping willow"; a picture read
    // at the thumbnail's size costs a fraction of the whole.
    for (const QFileInfo &file :
         QDir(folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        QImageReader reader(file.filePath());
        reader.setScaledSize(reader.size().scaled(thumbnail, Qt::KeepAspectRatio));
        const QString name = file.completeBaseName()
                                     .section(QLatin1Char('-'), 1)
                                     .replace(QLatin1Char('-'), QLatin1Char(' '));
        auto *item = new QListWidgetItem(QPixmap::fromImage(reader.read()), name, list);
        item->setData(Qt::UserRole, file.filePath());
    }
    list->setCurrentRow(0);
    connect(list, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(640, 480);
}

QString ExamplesDialog::chosen() const
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
