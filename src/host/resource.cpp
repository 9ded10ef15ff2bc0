#include "host/resource.h"

#include "host/browser_interfaces.h"

namespace pp {

namespace {

void AddRef(PP_Resource resource) {
  if (resource != 0 && Browser().core != nullptr) Browser().core->AddRefResource(resource);
}

void Release(PP_Resource resource) {
  if (resource != 0 && Browser().core != nullptr) Browser().core->ReleaseResource(resource);
}

}  // namespace

Resource::Resource(PP_Resource resource) : resource_(resource) { AddRef(resource_); }

Resource::Resource(PassRef, PP_Resource resource) : resource_(resource) {}

Resource::Resource(const Resource& other) : resource_(other.resource_) { AddRef(resource_); }

Resource& Resource::operator=(const Resource& other) {
  if (this != &other) {
    AddRef(other.resource_);
    Release(resource_);
    resource_ = other.resource_;
  }
  return *this;
}

Resource::~Resource() { Release(resource_); }

}  // namespace pp
