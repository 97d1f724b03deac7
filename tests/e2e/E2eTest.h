#pragma once
// A fixture for end-to-end runs: phonesim in this process, the real hostbatch as a child process
// running a script that drives the plug-in, and checks of what it printed and wrote.
//
// Every test has its own temporary folder and a healthy phone whose usbmuxd stand-in every USB
// connection of the run goes through: the stand-in tunnels to any port on 127.0.0.1, so further
// phones (added with addPhone, each on ports of its own) are reached over USB through it too.
// Phones send 60 frames a second with timestamps k / 64 s (k counting a session's frames), so a
// value seen on a node can be traced back to the frame that carried it.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BatchScript.h"
#include "ChildProcess.h"
#include "PhoneSim.h"
#include "support/TemporaryFolder.h"
#include "transport/records/CaptureRecords.h"

enum class Transport { wifi, usb };

std::string transportName(const ::testing::TestParamInfo<Transport>& info);

// The output of a running hostbatch as far as it got; the test thread waits on it while the
// reading thread appends.
class OutputWatch {
  public:
    void append(const char* data, std::size_t size);
    // Waits until the output contains text; false when the time-out passes first.
    bool waitFor(const std::string& text, std::chrono::milliseconds timeout);

  private:
    std::mutex mutex_;
    std::condition_variable grown_;
    std::string text_;  // guarded by mutex_: the reading thread appends, the test thread searches
};

struct HostBatchRun {
    ChildRun child;
    BatchOutput output;
};

// A take made against a healthy phone: connect, capture, save the last second (with video),
// stop, load the clip into a new clip reader and play it. Keys of its sections begin with tag.
struct RoundTrip {
    std::string tag;
    std::string node;
    Transport transport = Transport::wifi;
    bool video = true;
    bool deleteNodeAfterSave = false;  // delete the node right after saveMocapData
};

class E2eTest : public ::testing::Test {
  protected:
    static constexpr double kFrameStep = 1.0 / 64.0;
    static constexpr std::size_t kVideoBytes = 100000;

    void SetUp() override;
    void TearDown() override;

    static PhoneSimOptions phoneOptions();
    // The default options, with the phone answering a connection request as answer says.
    static PhoneSimOptions answering(PhoneAnswer answer) {
        PhoneSimOptions options = phoneOptions();
        options.answer = answer;
        return options;
    }
    // Phones that each turn a connection away in their own way: silent, rejecting, showing the
    // wrong screen, and gone (its ports stay known, and nothing answers there any more).
    struct RefusingPhones {
        PhoneSim& silent;
        PhoneSim& rejecting;
        PhoneSim& wrongScreen;
        PhoneSim& absent;
    };
    RefusingPhones addRefusingPhones() {
        RefusingPhones phones{
            addPhone(answering(PhoneAnswer::silent)), addPhone(answering(PhoneAnswer::reject)),
            addPhone(answering(PhoneAnswer::rejectWrongScreen)), addPhone(phoneOptions())};
        phones.absent.stop();
        return phones;
    }
    // Another phone on ports of its own, reached over USB through the healthy phone's stand-in.
    PhoneSim& addPhone(PhoneSimOptions options);
    PhoneSim& healthyPhone() { return *healthy_; }
    std::string file(const std::string& name) const { return folder_.file(name); }

    // A script that loads the plug-in and plays clips at 24 frames a second.
    static BatchScript newScript();
    // An environment variable for the hostbatch runs that follow (USBMUXD_SOCKET_ADDRESS is the
    // healthy phone's stand-in unless set here).
    void setHostBatchEnvironment(const std::string& name, const std::string& value) {
        environment_[name] = value;
    }
    // Runs the script in hostbatch as "mayabatch" runs it: no idle event (device refresh) is
    // ever served. Interactive unless set here.
    void setHostBatchBatchMode(bool batch) { batchMode_ = batch; }
    // Runs the script in hostbatch on another thread; the run is killed at its deadline.
    std::future<HostBatchRun> startHostBatch(const BatchScript& script);
    // Waits until the run in progress has printed the end marker of the section.
    bool waitForSection(const std::string& key, std::chrono::milliseconds timeout);
    // Waits for a started run; its output is shown when the test fails.
    HostBatchRun finishHostBatch(std::future<HostBatchRun>& run);
    HostBatchRun runHostBatch(const BatchScript& script);

    // --- Script pieces.
    static void createDevice(BatchScript& script, const std::string& node);
    static void aimAt(BatchScript& script, const std::string& node, const PhoneSim& phone,
                      Transport transport);
    // Section key: a refresh, then the probed outputs of the node.
    void probeOutputs(BatchScript& script, const std::string& key, const std::string& node) const;
    // Section key: the node's published status.
    static void probeStatus(BatchScript& script, const std::string& key, const std::string& node);
    // Section key: establishConnection.
    static void connect(BatchScript& script, const std::string& key, const std::string& node);
    void addRoundTrip(BatchScript& script, const RoundTrip& take, const PhoneSim& phone) const;

    // --- Checks of a finished run.
    static ::testing::AssertionResult ranCleanly(const HostBatchRun& run);
    static ::testing::AssertionResult connected(const BatchOutput& output, const std::string& key);
    static ::testing::AssertionResult refused(const BatchOutput& output, const std::string& key,
                                              const std::string& message);
    static ::testing::AssertionResult statusIs(const BatchOutput& output, const std::string& key,
                                               int status);
    // The probed outputs are those of one frame that the phone sent.
    ::testing::AssertionResult probedFromPhone(const BatchOutput& output, const std::string& key,
                                               const PhoneSim& phone) const;
    static ::testing::AssertionResult sameProbes(const BatchOutput& output,
                                                 const std::string& first,
                                                 const std::string& second);
    void checkRoundTrip(const BatchOutput& output, const RoundTrip& take,
                        const PhoneSim& phone) const;

    std::string clipPath(const RoundTrip& take) const { return file(take.tag + "/take.clip"); }
    std::string videoPath(const RoundTrip& take) const { return file(take.tag + "/take.mov"); }

    ChannelNameLists channels_ = PhoneSim::defaultChannels();

  private:
    std::unique_ptr<PhoneSim> startPhone(PhoneSimOptions options) const;
    std::vector<std::string> probedPlugs(const std::string& node) const;

    TemporaryFolder folder_;
    std::map<std::string, std::string> environment_;
    bool batchMode_ = false;
    std::string lastOutput_;              // of the last finished run
    std::shared_ptr<OutputWatch> watch_;  // of the last started run
    std::unique_ptr<PhoneSim> healthy_;
    std::vector<std::unique_ptr<PhoneSim>> others_;
};

class E2eTransportTest : public E2eTest, public ::testing::WithParamInterface<Transport> {
  protected:
    Transport transport() const { return GetParam(); }
    bool usb() const { return GetParam() == Transport::usb; }

    // Aims dev at the phone, connects (section key/connect) and starts a capture (key/start).
    void connectAndStart(BatchScript& script, const std::string& key, const PhoneSim& phone) const {
        aimAt(script, "dev", phone, transport());
        connect(script, key + "/connect", "dev");
        script.section(key + "/start", "startMocapSession dev");
    }

    // A script step on one node, in a section of its own: connect, for one.
    using NodeStep = void (*)(BatchScript& script, const std::string& key, const std::string& node);
    // Aims dev at each refusing phone in turn and adds the step there, in a section named after
    // how the phone refuses ("silent", "reject", "wrongScreen"; absentKey for the absent one).
    void tryEachRefusingPhone(BatchScript& script, const RefusingPhones& phones,
                              const char* absentKey, NodeStep step) const {
        const std::pair<const char*, const PhoneSim*> attempts[] = {
            {"silent", &phones.silent},
            {"reject", &phones.rejecting},
            {"wrongScreen", &phones.wrongScreen},
            {absentKey, &phones.absent}};
        for (const auto& [key, phone] : attempts) {
            aimAt(script, "dev", *phone, transport());
            step(script, key, "dev");
        }
    }
};
