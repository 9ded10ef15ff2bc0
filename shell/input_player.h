#pragma once

#include <QPoint>
#include <QString>
#include <string>

class QWebEngineView;
class QWidget;

namespace tallwick_shell {

// Real input into a page, as a person's mouse and keyboard give it: the
// events go to the view's render widget and from there through Chromium to
// the element under the pointer (a plug-in element forwards them to its
// instance). Positions are window pixels.

// The view's render widget, its focus proxy: Chromium takes input from it and
// sets the cursor on it.
QWidget* RenderWidget(QWebEngineView& view);

// One input event by the names a page's scenario uses: "mousedown",
// "mouseup", "mousemove", "wheel", "contextmenu", "keydown", "keyup", "char".
// Button 0 left, 1 middle, 2 right. False for a type it cannot give.
bool PlayInput(QWebEngineView& view, const std::string& type, QPoint at, int button);

// A left press and release at `at`.
void Click(QWebEngineView& view, QPoint at);

// Each character of `text` pressed and released.
void TypeText(QWebEngineView& view, const QString& text);

}  // namespace tallwick_shell
