#include "shell/local_pages.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace tallwick_shell {
namespace {

const QByteArray kScheme = QByteArrayLiteral("tallwick");
const QString kHost = QStringLiteral("files");

QByteArray MimeTypeOf(const QString& path) {
  static const QMap<QString, QByteArray> kTypes = {
      {"html", "text/html"},
      {"js", "text/javascript"},
      {"mjs", "text/javascript"},
      {"css", "text/css"},
      {"json", "application/json"},
      {"jsonl", "text/plain"},
      {"txt", "text/plain"},
      {"png", "image/png"},
      {"jpg", "image/jpeg"},
      {"svg", "image/svg+xml"},
      {"y4m", "application/octet-stream"},
  };
  return kTypes.value(QFileInfo(path).suffix().toLower(), "application/octet-stream");
}

}  // namespace

void LocalPages::RegisterScheme() {
  QWebEngineUrlScheme scheme(kScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                  QWebEngineUrlScheme::CorsEnabled);
  QWebEngineUrlScheme::registerScheme(scheme);
}

void LocalPages::Install(QWebEngineProfile* profile) {
  profile->installUrlSchemeHandler(kScheme, new LocalPages(profile));
}

QUrl LocalPages::UrlOf(const QString& file, const QString& query) {
  QUrl url;
  url.setScheme(QString::fromLatin1(kScheme));
  url.setHost(kHost);
  url.setPath(QFileInfo(file).absoluteFilePath());
  if (!query.isEmpty()) url.setQuery(query);
  return url;
}

void LocalPages::requestStarted(QWebEngineUrlRequestJob* job) {
  const QUrl url = job->requestUrl();
  const QString path = url.path();
  if (url.host() != kHost || !QFileInfo(path).isFile()) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  auto* file = new QFile(path, job);
  if (!file->open(QIODevice::ReadOnly)) {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  job->reply(MimeTypeOf(path), file);
}

}  // namespace tallwick_shell
