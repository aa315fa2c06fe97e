#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <algorithm>

namespace dravia {

namespace {

bool isMinimizedState(int showState) {
    // The minimized show codes: minimized, minimize, minimized without activation, forced minimize.
    return showState == 2 || showState == 6 || showState == 7 || showState == 11;
}

}  // namespace

std::optional<WindowPlacement> parsePlacement(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    const QByteArray bytes = text.toLatin1();
    return parsePlacementText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QString formatPlacement(const WindowPlacement& p) {
    return QString::fromStdString(formatPlacementText(p));
}

WindowPlacement currentPlacement(const QWidget& window, const WindowPlacement& base) {
    WindowPlacement p = base;
    const Qt::WindowStates state = window.windowState();
    p.flags = 0;
    if (state & Qt::WindowMinimized) {
        p.showState = SHOW_MINIMIZED;
        if (state & Qt::WindowMaximized) p.flags |= PLACEMENT_RESTORE_MAXIMIZED;
    } else if (state & Qt::WindowMaximized) {
        p.showState = SHOW_MAXIMIZED;
        p.flags |= PLACEMENT_RESTORE_MAXIMIZED;
    } else {
        p.showState = SHOW_NORMAL;
    }
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    return p;
}

QRect fitOnScreen(const QRect& rect, const QRect& available) {
    if (available.isEmpty()) return rect;
    QRect fitted(rect.topLeft(), rect.size().boundedTo(available.size()));
    fitted.moveLeft(std::clamp(fitted.left(), available.left(), available.right() + 1 - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), available.top(), available.bottom() + 1 - fitted.height()));
    return fitted;
}

void resizeWithinScreen(QWidget& window, const QSize& wanted) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    // Room for the window's frame and the desktop's panels around it.
    const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : wanted;
    window.resize(wanted.boundedTo(room));
}

void applyPlacement(QWidget& window, const WindowPlacement& p) {
    // A placement stored on a larger screen, or the default one on a small or scaled screen,
    // is brought wholly onto the screen the window opens on.
    const QRect stored(p.left, p.top, p.right - p.left, p.bottom - p.top);
    const QScreen* screen = QGuiApplication::screenAt(stored.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect fitted = fitOnScreen(stored, available);
    window.setGeometry(fitted);
    if (p.showState == SHOW_MAXIMIZED) {
        window.showMaximized();
    } else if (isMinimizedState(p.showState)) {
        Qt::WindowStates state = Qt::WindowMinimized;
        if (p.flags & PLACEMENT_RESTORE_MAXIMIZED) state |= Qt::WindowMaximized;
        window.setWindowState(state);
        window.show();
    } else {
        // Any other show state, a hidden one included, shows the window normally: a program
        // whose only window stays hidden could not be used or closed.
        window.showNormal();
    }
    // A window that had to be brought onto the screen keeps its frame there too; the frame is
    // known once the window is shown.
    if (fitted != stored && p.showState == SHOW_NORMAL) {
        const QRect inner = window.geometry();
        const QRect outer = window.frameGeometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        window.setGeometry(fitOnScreen(inner, available.marginsRemoved(frame)));
    }
}

WindowPlacement loadStoredPlacement() {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(SETTINGS_GROUP));
    const QString text = settings.value(QString::fromLatin1(WINDOW_POS_KEY)).toString();
    settings.endGroup();
    return parsePlacement(text).value_or(WindowPlacement{});
}

void storePlacement(const WindowPlacement& placement) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(SETTINGS_GROUP));
    settings.setValue(QString::fromLatin1(WINDOW_POS_KEY), formatPlacement(placement));
    settings.endGroup();
    settings.sync();
}

}  // namespace dravia
