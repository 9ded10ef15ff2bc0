#include "shell/input_player.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWebEngineView>
#include <QWheelEvent>

namespace tallwick_shell {
namespace {

Qt::MouseButton ButtonOf(int button) {
  if (button == 1) return Qt::MiddleButton;
  if (button == 2) return Qt::RightButton;
  return Qt::LeftButton;
}

void SendMouse(QWebEngineView& view, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QWidget* target = RenderWidget(view);
  QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

void SendWheel(QWebEngineView& view, QPoint at) {
  QWidget* target = RenderWidget(view);
  QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

void SendKey(QWebEngineView& view, QEvent::Type type, int key, const QString& text) {
  QKeyEvent event(type, key, Qt::NoModifier, text);
  QApplication::sendEvent(RenderWidget(view), &event);
}

int KeyOf(QChar c) {
  const QChar upper = c.toUpper();
  if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9')) return upper.unicode();
  return c == ' ' ? Qt::Key_Space : Qt::Key_unknown;
}

}  // namespace

QWidget* RenderWidget(QWebEngineView& view) { return view.focusProxy() != nullptr ? view.focusProxy() : &view; }

bool PlayInput(QWebEngineView& view, const std::string& type, QPoint at, int button) {
  const Qt::MouseButton pressed = ButtonOf(button);
  if (type == "mousemove") {
    SendMouse(view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
  } else if (type == "mousedown") {
    SendMouse(view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    SendMouse(view, QEvent::MouseButtonPress, at, pressed, pressed);
  } else if (type == "mouseup") {
    SendMouse(view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    SendMouse(view, QEvent::MouseButtonRelease, at, pressed, Qt::NoButton);
  } else if (type == "contextmenu") {
    SendMouse(view, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    SendMouse(view, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
  } else if (type == "wheel") {
    SendWheel(view, at);
  } else if (type == "keydown") {
    SendKey(view, QEvent::KeyPress, Qt::Key_A, QString());
  } else if (type == "keyup") {
    SendKey(view, QEvent::KeyRelease, Qt::Key_A, QString());
  } else if (type == "char") {
    TypeText(view, QStringLiteral("a"));
  } else {
    return false;
  }
  return true;
}

void Click(QWebEngineView& view, QPoint at) {
  SendMouse(view, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
  SendMouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  SendMouse(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void TypeText(QWebEngineView& view, const QString& text) {
  for (const QChar c : text) {
    SendKey(view, QEvent::KeyPress, KeyOf(c), QString(c));
    SendKey(view, QEvent::KeyRelease, KeyOf(c), QString(c));
  }
}

}  // namespace tallwick_shell
