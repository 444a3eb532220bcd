// The lab network's topology: a tree of networks, domains, servers and shares read from a
// line-oriented text file, with the batch size, wait and injected failures of each container.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lab {

enum class NodeKind { Root, Network, Domain, Server, Share };

// One resource of the lab network. The root stands for the provider itself: its children are
// what the provider lists when it is asked for its top level.
struct Node {
    NodeKind kind = NodeKind::Root;
    std::wstring remoteName; // "NAME" for networks and domains, "\\SERVER", "\\SERVER\share"
    std::wstring comment;
    bool printShare = false;
    // How the children of this container are served.
    uint32_t batch = 0;        // records per NPEnumResource call; 0: as many as fit
    uint32_t waitMs = 0;       // pause at every NPOpenEnum and NPEnumResource of this container
    uint32_t emptyBatches = 0; // successful calls that return no record before the first record
                               // (kEndlessEmptyBatches: every call, for ever)
    std::wstring gate;      // every NPEnumResource waits until the named event of this name is set
    uint32_t openError = 0; // NPOpenEnum of this container fails with this code
    uint32_t enumError = 0; // NPEnumResource fails with this code ...
    uint32_t enumAfter = 0; // ... once this many batches have been served
    uint32_t errorCode = 0; // with code 1208: the provider's own code for WNetSetLastError
    std::wstring errorText; // with code 1208: the provider's text for WNetSetLastError
    bool listed = true;     // false: a server its domain does not list, which still answers
                            // a listing of its own shares (a network without a browse list)
    std::vector<size_t> children;
};

// A parsed topology; immutable once made, so enumerations that hold it may outlive a reload.
struct Topology {
    std::vector<Node> nodes;           // nodes[0] is the root
    std::vector<std::string> problems; // the first 100 rejected lines ("line 7: why")
    size_t problemCount = 0;           // all rejected lines

    // The container with this remote name (case-insensitive), or -1. displayType 0 matches
    // any kind; otherwise the kind of that display type is preferred.
    long find(const std::wstring& remoteName, unsigned displayType) const;

    // Parses the whole text; never fails: a line that does not make sense is skipped with its
    // subtree and noted in `problems`.
    static std::shared_ptr<const Topology> parse(const std::string& text);

private:
    std::multimap<std::wstring, size_t> index_; // lower-cased remote name -> node
};

// Limits that keep a hostile file from costing more than a test's memory.
constexpr size_t kMaxLineBytes = 4096;
constexpr size_t kMaxNameChars = 240;
constexpr size_t kMaxTextChars = 1000;
constexpr size_t kMaxNodes = 200000;
constexpr uint32_t kMaxWaitMs = 60000;
constexpr uint32_t kEndlessEmptyBatches = 0xFFFFFFFF;
// A gate that is never set lets the call go after this long, so a failed test cannot hang.
constexpr uint32_t kMaxGateWaitMs = 60000;

} // namespace lab
