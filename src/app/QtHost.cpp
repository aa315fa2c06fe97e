#include "app/QtHost.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>

#include "app/PauseDialog.h"
#include "app/StatResultsDialog.h"
#include "display/PlotView.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtHost::showMessage(const std::string& text, MessageIcon icon) {
    QMessageBox box(boxIcon(icon), QStringLiteral("Dravia4"), QString::fromStdString(text), QMessageBox::Ok,
                    window_);
    box.exec();
}

bool QtHost::askOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dravia4"), QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, window_);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok);
}

bool QtHost::showPauseDialog() {
    PauseDialog dialog(view_, window_);
    return dialog.exec() == QDialog::Accepted;
}

void QtHost::repaintNow(ModelState&) {
    if (view_ && view_->isVisible()) view_->repaint();
}

void QtHost::layOutDisplay(ModelState&) {
    if (view_) view_->layOutDisplay();
}

void QtHost::processPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (quitRequested_) throw ProgramExit{EXIT_NORMAL};
}

void QtHost::sleepWhilePaused() {
    QThread::msleep(20);
}

void QtHost::showStatResults(const std::string& title, const std::string& text) {
    StatResultsDialog dialog(QString::fromStdString(title), QString::fromStdString(text), window_);
    dialog.exec();
}

void QtHost::writeStandardOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace dravia
