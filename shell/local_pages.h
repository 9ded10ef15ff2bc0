#pragma once

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

namespace tallwick_shell {

// Local pages are served through a scheme of the shell's own,
// tallwick://files/<absolute path>, not file://: Chromium takes the MIME type
// of a file:// response from the system's database, which a lean machine may
// lack, and then refuses every module script. Here each type comes from the
// file's extension. The scheme is a secure, standard one (relative addresses
// resolve as on any web server), and only regular files are read.
class LocalPages : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  // Before the application object is made.
  static void RegisterScheme();

  // Serves the scheme for `profile` from now on.
  static void Install(QWebEngineProfile* profile);

  // The address of a local file (relative to the working folder or
  // absolute), with an optional query.
  static QUrl UrlOf(const QString& file, const QString& query);

  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
};

}  // namespace tallwick_shell
