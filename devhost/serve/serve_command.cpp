#include "devhost/serve/serve_command.h"

#include <cstdio>
#include <exception>
#include <iostream>

#include "devhost/serve/page_bridge.h"
#include "devhost/serve/server.h"

namespace pphost::serve {

int RunServe(const ServeSettings& settings, const HostOptions& options, const std::string& modulePath) {
  HostOptions hostOptions = options;
  hostOptions.tracePresent = true;  // the bridge sends a frame on each `present`
  PageBridge bridge(FrameEncoder(settings.encoding, settings.jpegQuality), settings.fitToView);
  Host host(hostOptions, bridge.Sink());
  bridge.Attach(&host);
  if (!host.Load(modulePath)) {
    std::cerr << "pphost: " << host.LoadError() << '\n';
    return host.ExitStatus();
  }
  const WebRoot root(settings.root, settings.library);
  Server server(settings.port, host, bridge, root);
  std::printf("pphost serve: http://127.0.0.1:%u/ (pages from %s, the page library at %.*s from %s)\n", server.Port(),
              root.Folder().c_str(), static_cast<int>(kLibraryPrefix.size()), kLibraryPrefix.data(),
              root.Library().c_str());
  std::fflush(stdout);
  server.Run();
  return 0;
}

}  // namespace pphost::serve
