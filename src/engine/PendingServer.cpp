// PendingServer's copies of its texts and the pointers into them.
#include "engine/PendingServer.h"

PendingServer::PendingServer() {
    repoint();
}

PendingServer::PendingServer(const NETRESOURCEA& resource, uint32_t flags)
    : resource_(resource), flags_(flags) {
    localName_.take(resource.lpLocalName);
    remoteName_.take(resource.lpRemoteName);
    comment_.take(resource.lpComment);
    provider_.take(resource.lpProvider);
    repoint();
}

PendingServer::PendingServer(const PendingServer& other)
    : resource_(other.resource_), flags_(other.flags_) {
    copyTexts(other);
}

PendingServer& PendingServer::operator=(const PendingServer& other) {
    if (this != &other) {
        resource_ = other.resource_;
        flags_ = other.flags_;
        copyTexts(other);
    }
    return *this;
}

void PendingServer::copyTexts(const PendingServer& other) {
    localName_ = other.localName_;
    remoteName_ = other.remoteName_;
    comment_ = other.comment_;
    provider_ = other.provider_;
    repoint();
}

// The copied record still points at the other object's texts (or the walk's buffer): every
// pointer is set to this object's own copy.
void PendingServer::repoint() {
    resource_.lpLocalName = localName_.pointer();
    resource_.lpRemoteName = remoteName_.pointer();
    resource_.lpComment = comment_.pointer();
    resource_.lpProvider = provider_.pointer();
}
