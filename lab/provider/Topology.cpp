// Reads the lab topology text: every line is checked before anything of it is kept.
#include "Topology.h"

#include <windows.h>

#include <cwctype>

namespace lab {
namespace {

std::wstring lowered(const std::wstring& s) {
    std::wstring out = s;
    if (!out.empty()) CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

std::wstring trimmed(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == L' ' || s[b] == L'\t'))
        ++b;
    while (e > b && (s[e - 1] == L' ' || s[e - 1] == L'\t' || s[e - 1] == L'\r'))
        --e;
    return s.substr(b, e - b);
}

// UTF-8 to UTF-16; false for bytes that are not UTF-8.
bool widened(const char* p, size_t n, std::wstring& out) {
    out.clear();
    if (n == 0) return true;
    int len =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, p, static_cast<int>(n), nullptr, 0);
    if (len <= 0) return false;
    out.resize(static_cast<size_t>(len));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, p, static_cast<int>(n), out.data(), len);
    return true;
}

// Decimal or 0x-hexadecimal, 32 bits, nothing else on the field.
bool parseNumber(const std::wstring& s, uint32_t& value) {
    if (s.empty()) return false;
    unsigned base = 10;
    size_t i = 0;
    if (s.size() > 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X')) base = 16, i = 2;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        wchar_t c = s[i];
        unsigned d;
        if (c >= L'0' && c <= L'9')
            d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            d = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            d = c - L'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

// A name that can stand in a UNC path component and in a folder name of the prefix.
const char* badName(const std::wstring& name) {
    if (name.empty()) return "empty name";
    if (name.size() > kMaxNameChars) return "name too long";
    if (name == L"." || name == L"..") return "name is . or ..";
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F) return "control character in name";
        if (wcschr(L"\\/:*?\"<>|", c)) return "character not allowed in a name";
    }
    return nullptr;
}

const char* badText(const std::wstring& text) {
    if (text.size() > kMaxTextChars) return "text too long";
    for (wchar_t c : text)
        if (c < 0x20 || c == 0x7F) return "control character in text";
    return nullptr;
}

// Applies one "key=value" field to the node; null on success, else why not.
const char* applyOption(Node& node, const std::wstring& field) {
    size_t eq = field.find(L'=');
    if (eq == std::wstring::npos) return "option without '='";
    std::wstring key = lowered(trimmed(field.substr(0, eq)));
    std::wstring value = trimmed(field.substr(eq + 1));
    if (key == L"comment") {
        if (const char* why = badText(value)) return why;
        node.comment = value;
        return nullptr;
    }
    if (node.kind == NodeKind::Share) {
        if (key == L"type") {
            std::wstring v = lowered(value);
            if (v == L"disk")
                node.printShare = false;
            else if (v == L"print")
                node.printShare = true;
            else
                return "type is neither disk nor print";
            return nullptr;
        }
        if (key == L"path") return badText(value); // used by the mapping scripts only
        return "unknown option for a share";
    }
    if (key == L"listed") {
        if (node.kind != NodeKind::Server) return "only a server can be unlisted";
        std::wstring v = lowered(value);
        if (v != L"yes" && v != L"no") return "listed is neither yes nor no";
        node.listed = v == L"yes";
        return nullptr;
    }
    if (key == L"gate") {
        if (const char* why = badName(value)) return why;
        node.gate = value;
        return nullptr;
    }
    if (key == L"error-text") {
        if (const char* why = badText(value)) return why;
        node.errorText = value;
        return nullptr;
    }
    uint32_t n = 0;
    uint32_t* target = nullptr;
    if (key == L"batch")
        target = &node.batch;
    else if (key == L"wait")
        target = &node.waitMs;
    else if (key == L"empty")
        target = &node.emptyBatches;
    else if (key == L"open-error")
        target = &node.openError;
    else if (key == L"enum-error")
        target = &node.enumError;
    else if (key == L"after")
        target = &node.enumAfter;
    else if (key == L"error-code")
        target = &node.errorCode;
    else
        return "unknown option";
    if (!parseNumber(value, n)) return "not a 32-bit number";
    if (target == &node.waitMs && n > kMaxWaitMs) return "wait above 60000 ms";
    if (target == &node.emptyBatches && n > 1000 && n != kEndlessEmptyBatches)
        return "more than 1000 empty batches";
    *target = n;
    return nullptr;
}

std::wstring remoteNameOf(NodeKind kind, const std::wstring& name, const Node* parent) {
    switch (kind) {
    case NodeKind::Server: return L"\\\\" + name;
    case NodeKind::Share: return parent->remoteName + L"\\" + name;
    default: return name;
    }
}

} // namespace

long Topology::find(const std::wstring& remoteName, unsigned displayType) const {
    NodeKind wanted = NodeKind::Root;
    switch (displayType) {
    case 1: wanted = NodeKind::Domain; break;
    case 2: wanted = NodeKind::Server; break;
    case 3: wanted = NodeKind::Share; break;
    case 6: wanted = NodeKind::Network; break;
    default: break;
    }
    auto range = index_.equal_range(lowered(remoteName));
    long any = -1;
    for (auto it = range.first; it != range.second; ++it) {
        if (nodes[it->second].kind == wanted) return static_cast<long>(it->second);
        if (any < 0) any = static_cast<long>(it->second);
    }
    return any;
}

std::shared_ptr<const Topology> Topology::parse(const std::string& text) {
    auto topo = std::make_shared<Topology>();
    topo->nodes.emplace_back(); // the root
    // The parent that the next line of each kind attaches to; -1 after a rejected container
    // (its subtree is skipped) or before any container of the kind above.
    long networkParent = 0, domainParent = 0, serverParent = -1, shareParent = -1;
    size_t pos = 0, lineNo = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;

    auto reject = [&](const char* why) {
        ++topo->problemCount;
        if (topo->problems.size() < 100)
            topo->problems.push_back("line " + std::to_string(lineNo) + ": " + why);
    };

    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const char* p = text.data() + pos;
        size_t n = end - pos;
        pos = end + 1;
        ++lineNo;

        std::wstring line;
        if (n > kMaxLineBytes) {
            reject("line too long");
            continue;
        }
        if (memchr(p, '\0', n)) {
            reject("NUL byte in line");
            continue;
        }
        if (!widened(p, n, line)) {
            reject("not UTF-8");
            continue;
        }
        line = trimmed(line);
        if (line.empty() || line[0] == L'#') continue;

        std::vector<std::wstring> fields;
        for (size_t b = 0;;) {
            size_t bar = line.find(L'|', b);
            fields.push_back(trimmed(line.substr(b, bar == std::wstring::npos ? bar : bar - b)));
            if (bar == std::wstring::npos) break;
            b = bar + 1;
        }
        std::wstring kindText = lowered(fields[0]);
        Node node;
        long parent;
        size_t firstOption = 2;
        if (kindText == L"provider")
            node.kind = NodeKind::Root, parent = -2, firstOption = 1;
        else if (kindText == L"network")
            node.kind = NodeKind::Network, parent = networkParent;
        else if (kindText == L"domain")
            node.kind = NodeKind::Domain, parent = domainParent;
        else if (kindText == L"server")
            node.kind = NodeKind::Server, parent = serverParent;
        else if (kindText == L"share")
            node.kind = NodeKind::Share, parent = shareParent;
        else {
            reject("unknown kind");
            continue;
        }

        // A rejected container line also closes its kind's subtree.
        auto closeSubtree = [&]() {
            if (node.kind == NodeKind::Network) domainParent = -1;
            if (node.kind == NodeKind::Network || node.kind == NodeKind::Domain) serverParent = -1;
            if (node.kind != NodeKind::Share && node.kind != NodeKind::Root) shareParent = -1;
        };

        const char* why = nullptr;
        std::wstring name;
        if (node.kind != NodeKind::Root) {
            if (fields.size() < 2)
                why = "no name";
            else {
                name = fields[1];
                if (node.kind == NodeKind::Server && name.compare(0, 2, L"\\\\") == 0)
                    name = name.substr(2);
                why = badName(name);
            }
            if (!why && parent < 0) why = "no valid container above this line";
            if (!why && topo->nodes.size() >= kMaxNodes) why = "too many resources";
        }
        for (size_t i = firstOption; !why && i < fields.size(); ++i)
            if (!fields[i].empty()) why = applyOption(node, fields[i]);
        if (why) {
            reject(why);
            closeSubtree();
            continue;
        }

        if (node.kind == NodeKind::Root) {
            node.children = std::move(topo->nodes[0].children);
            topo->nodes[0] = std::move(node);
            continue;
        }
        node.remoteName = remoteNameOf(node.kind, name, &topo->nodes[static_cast<size_t>(parent)]);
        if (node.remoteName.size() > 2 * kMaxNameChars + 3) {
            reject("remote name too long");
            closeSubtree();
            continue;
        }
        size_t id = topo->nodes.size();
        // An unlisted server is found by its name only, never in its domain's listing.
        if (node.listed) topo->nodes[static_cast<size_t>(parent)].children.push_back(id);
        topo->index_.emplace(lowered(node.remoteName), id);
        topo->nodes.push_back(std::move(node));
        switch (topo->nodes[id].kind) {
        case NodeKind::Network:
            domainParent = static_cast<long>(id), serverParent = shareParent = -1;
            break;
        case NodeKind::Domain: serverParent = static_cast<long>(id), shareParent = -1; break;
        case NodeKind::Server: shareParent = static_cast<long>(id); break;
        default: break;
        }
    }
    return topo;
}

} // namespace lab
