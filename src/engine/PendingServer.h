// PendingServer: a server waiting in the ServerQueue, with its own copies of the texts of the
// resource record the network walk reported.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The record handed over by the network walk points into a buffer of that walk level, which is
// released when the level ends, while the server may wait in the queue for many seconds; so the
// four texts are copied, and resource() points into the copies. A text that was null stays null.
class PendingServer {
public:
    PendingServer();
    PendingServer(const NETRESOURCEA& resource, uint32_t flags);
    PendingServer(const PendingServer& other);
    PendingServer& operator=(const PendingServer& other);
    virtual ~PendingServer() = default;

    // Valid as long as this object lives and is not assigned to.
    const NETRESOURCEA& resource() const { return resource_; }
    // The walk flags of the walk that found the server, passed on to the walk of its shares.
    uint32_t flags() const { return flags_; }

private:
    // One owned text and whether the source had one at all.
    struct Text {
        bool present = false;
        std::string value;
        void take(const char* s) {
            present = s != nullptr;
            value = s ? s : "";
        }
        char* pointer() { return present ? value.data() : nullptr; }
    };
    void copyTexts(const PendingServer& other);
    void repoint();

    NETRESOURCEA resource_{};
    uint32_t flags_ = 0;
    Text localName_, remoteName_, comment_, provider_;
};
