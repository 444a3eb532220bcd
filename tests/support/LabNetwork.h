// LabNetwork: builds a lab network in test code (domains, servers, shares with their batch
// sizes, waits and failures), points the lab provider of this process at it and makes its share
// folders reachable as \\SERVER\share through the Wine prefix.
//
// The lab provider must be registered in the prefix before the test process starts
// (scripts/ctest.sh does it); `providerLoaded()` tells whether mpr loaded it in this process.
// mpr calls the provider inside this process, and the provider reads the topology named by the
// environment variable CORVASK_LAB_TOPOLOGY at every top-level open, so a test may switch
// topology at any time between walks. Without it the provider serves the demo LAN.
//
// Share folders are plain folders under the prefix's dosdevices\unc. Server names are global to
// the prefix, and test executables run side by side: give each test executable server names of
// its own (for example "ENGSRV1" in the engine tests).
#pragma once

#include <deque>
#include <string>
#include <vector>

// Set in a child test process that must run at least one test (TestMain.cpp checks it).
inline constexpr const char* kMustRunATestVariable = "CORVASK_MUST_RUN_A_TEST";

class LabNetwork {
public:
    // How one container (the provider's top level, a network, a domain, a server) serves its
    // children. Every field 0 or empty means: no such behaviour.
    struct Container {
        unsigned batch = 0;        // records per NPEnumResource call
        unsigned waitMs = 0;       // pause at every open and every batch of this container
        unsigned emptyBatches = 0; // batches of zero records (result 0) before the first record
                                   // (kEndless: every batch, for ever)
        std::string gate;          // every batch waits until this LabGate lets it through
        unsigned openError = 0;    // NPOpenEnum fails with this code (e.g. 5, 67, 1222, 1208)
        unsigned enumError = 0;    // NPEnumResource fails with this code ...
        unsigned enumAfter = 0;    // ... after this many successful batches
        unsigned errorCode = 0;    // with 1208: the provider's own code
        std::string errorText;     // with 1208: the provider's own text
        std::string comment;
        bool unlisted = false; // a server its domain does not list; it answers by its name
    };

    static constexpr unsigned kEndless = 0xFFFFFFFF;

    explicit LabNetwork(std::string tag = "lab");
    ~LabNetwork(); // removes the share folders it made and the topology file, restores the
                   // previous CORVASK_LAB_TOPOLOGY
    LabNetwork(const LabNetwork&) = delete;
    LabNetwork& operator=(const LabNetwork&) = delete;

    // The topology, in file order: a domain belongs to the last network (or the top level when
    // no network came before), a server to the last domain, a share to the last server.
    Container& provider() { return root_; }
    Container& network(const std::string& name);
    Container& domain(const std::string& name);
    Container& server(const std::string& name); // with or without the leading backslashes
    void share(const std::string& name, const std::string& comment = "");
    void printShare(const std::string& name); // listed as a print share; no folder is made
    void rawLine(const std::string& line);    // written as it is (for hostile lines)

    // Writes the topology file, creates the folders of the disk shares (empty; existing ones
    // are kept) and points this process's provider at the file. False with `error()` set when
    // something could not be done.
    bool apply();
    const std::string& error() const { return error_; }
    const std::string& topologyPath() const { return path_; }
    std::string text() const; // the topology file's text

    // Helpers for files inside shares: "\\SERVER\share" and a file or folder made there.
    static std::string uncPath(const std::string& server, const std::string& share);
    static bool makeFile(const std::string& path, unsigned size = 0);
    static bool makeFolder(const std::string& path);

    // The prefix's dosdevices\unc folder as this process reaches it (through Z:), "" if unknown.
    static std::string uncRoot();
    // The lab provider is registered in the prefix / was loaded by mpr in this process.
    static bool isRegistered();
    static bool providerLoaded();
    // Back to the demo LAN (the registered topology) for this process.
    static void useDemo();

    // What the provider saw (0xFFFFFFFF when the provider is not loaded).
    static unsigned openEnumerations(); // opened and not yet closed
    // Successful NPOpenEnum and NPCloseEnum calls since the process started.
    static bool enumerationTotals(unsigned& opened, unsigned& closed);
    // NPEnumResource calls since the process started that asked for 0 records.
    static unsigned zeroCountCalls();
    static unsigned topologyProblems(std::vector<std::string>* texts = nullptr);
    // The provider code and text of the last 1208 the provider returned on this thread, as it
    // handed them to mpr (Wine 8's mpr drops them: its WNetGetLastErrorA answers 1222).
    static bool lastExtendedError(unsigned& code, std::string& text);

    // Runs this test executable again with the given --gtest_filter and without the lab
    // provider (it refuses to load when CORVASK_LAB_DISABLE is set), i.e. as a machine without
    // any network provider; returns the child's exit code (not 0 when no test ran in it), or -1
    // if it could not be started or did not end within five minutes.
    static int runWithoutProvider(const std::string& gtestFilter);
    static bool providerDisabled(); // true inside such a child

private:
    struct Entry {
        std::string kind, name;
        Container options;
        std::string raw;
    };
    Entry& add(const char* kind, const std::string& name);
    static std::string optionText(const Container& c);

    std::string tag_, path_, error_, previous_;
    bool hadPrevious_ = false, applied_ = false;
    Container root_;
    std::deque<Entry> entries_;
    std::vector<std::string> madeFolders_; // share and server folders this object created
};

// A gate of the lab provider: a container whose `gate` names it answers each batch only after
// the test lets one through, so a test decides exactly when the next record arrives. A batch
// left waiting goes on by itself after a minute, so a failed test cannot hang.
class LabGate {
public:
    explicit LabGate(const std::string& name);
    ~LabGate();
    LabGate(const LabGate&) = delete;
    LabGate& operator=(const LabGate&) = delete;

    const std::string& name() const { return name_; }
    // Lets the next waiting (or the next arriving) batch through.
    void pass();

private:
    std::string name_;
    void* event_;
};
