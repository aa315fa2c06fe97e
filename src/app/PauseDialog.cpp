#include "app/PauseDialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace dravia {

QPoint pauseDialogPosition(const ScreenRect& r, QSize dialog, QSize usable) {
    const int w = dialog.width();
    const int h = dialog.height();
    const int besideY = r.top + ((r.bottom - r.top) - h) / 2;
    if (r.right + w <= usable.width()) return {r.right, besideY};
    if (r.left > w) return {r.left - w, besideY};
    const int x = r.left + ((r.right - r.left) - w) / 2;
    if (r.top > h) return {x, r.top - h};
    if (r.bottom + h > usable.height()) return {x, usable.height() - h};
    return {x, r.bottom};
}

PauseDialog::PauseDialog(QWidget* view, QWidget* parent) : QDialog(parent), view_(view) {
    setWindowTitle(QStringLiteral("Pause Dialog"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Hit OK to continue simulation or Cancel to quit."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    adjustSize();
    setFixedSize(size());
}

void PauseDialog::placeBesideView() {
    if (!view_) return;
    const QPoint topLeft = view_->mapToGlobal(QPoint(0, 0));
    const ScreenRect r{topLeft.x(), topLeft.y(), topLeft.x() + view_->width(), topLeft.y() + view_->height()};
    QScreen* screen = view_->screen() ? view_->screen() : QGuiApplication::primaryScreen();
    const QSize maximized = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    // The frame the window system puts around a dialog, on each side.
    const QWidget* top = view_->window();
    const int frameWidth = std::max(0, (top->frameGeometry().width() - top->width()) / 2);
    const int frameHeight = std::max(0, (top->frameGeometry().height() - top->height()) / 2);
    const QSize usable(maximized.width() - 2 * frameWidth - 2, maximized.height() - 2 * frameHeight - 2);
    const QSize outer(width() + 2 * frameWidth, height() + 2 * frameHeight);
    move(pauseDialogPosition(r, outer, usable));
}

void PauseDialog::showEvent(QShowEvent* event) {
    placeBesideView();
    QDialog::showEvent(event);
}

}  // namespace dravia
