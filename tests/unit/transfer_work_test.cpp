// The download workers against a scripted server: the request sequence of a segmented
// download, what each fault costs, the result codes, and the single-file download's rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "app/bootstrapper_app.h"
#include "download/content_download.h"
#include "download/md5.h"
#include "download/transfer_work.h"
#include "fakes/fake_system.h"
#include "platform/download_result.h"
#include "platform/strings.h"
#include "platform/worker_state.h"

namespace {

using Reply = FakeSystem::HttpReply;

std::string content(std::size_t size, char seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + i * 31 + (i >> 12));
    return s;
}

std::string field(const std::string& url, const std::string& name) {
    const auto at = url.find(name + "=");
    if (at == std::string::npos) return {};
    const auto end = url.find('&', at);
    return url.substr(at + name.size() + 1, end == std::string::npos ? std::string::npos : end - at - name.size() - 1);
}

// The "/getfile.pl" answers over files in memory; fault(url, n) may change the n-th reply.
class Server {
public:
    std::map<std::string, std::string> files;
    std::function<void(const std::string& url, int n, Reply& reply)> fault = [](const std::string&, int, Reply&) {};
    std::vector<std::string> requests;

    Reply answer(const std::u16string& wideUrl) {
        const std::string url = wideToUtf8(wideUrl);
        requests.push_back(url.substr(url.find("?") + 1));
        Reply reply;
        auto file = files.find(field(url, "file"));
        if (file == files.end()) {
            reply.status = 404;
        } else if (field(url, "mb_pos").empty()) {
            reply.body = std::to_string(file->second.size());
        } else {
            const std::size_t from = std::stoull(field(url, "mb_pos")) * 1000000;
            const std::string bytes =
                file->second.substr(std::min(from, file->second.size()), std::stoull(field(url, "length")));
            reply.body = field(url, "crc").empty()
                             ? bytes
                             : md5Hex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        }
        fault(url, static_cast<int>(requests.size()), reply);
        return reply;
    }
};

class Downloads : public ::testing::Test {
protected:
    Downloads() {
        system.onHttp = [this](const std::u16string& url) { return server.answer(url); };
    }
    int segments(std::vector<std::u16string> names) {
        SegmentedDownload download{u"QendraSetup", u"http://h", std::move(names), u"C:\\T\\"};
        download.counts = &counts;
        return downloadSegmentsWork(system, sink, download);
    }
    std::string written(const std::u16string& path) {
        const auto& bytes = system.files[path];
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<std::string> segmentRequests() const {
        std::vector<std::string> out;
        for (const auto& r : server.requests)
            if (r.find("mb_pos") != std::string::npos && r.find("crc") == std::string::npos) out.push_back(r);
        return out;
    }

    FakeSystem system;
    Server server;
    platform::ProgressSink sink;
    TransferCounts counts;
};

TEST_F(Downloads, SegmentsGrowWhileTheyVerifyAndTheLengthCarriesToTheNextFile) {
    server.files["a.cab"] = content(35000000, 1);
    server.files["b.cab"] = content(90000000, 2);
    EXPECT_EQ(segments({u"a.cab", u"b.cab"}), kDownloadDone);
    EXPECT_EQ(server.requests[0], "file=a.cab");
    EXPECT_EQ(server.requests[1], "file=b.cab");
    EXPECT_EQ(segmentRequests(),
              (std::vector<std::string>{"file=a.cab&mb_pos=0&length=10000000", "file=a.cab&mb_pos=10&length=20000000",
                                        "file=a.cab&mb_pos=30&length=40000000", "file=b.cab&mb_pos=0&length=80000000",
                                        "file=b.cab&mb_pos=80&length=160000000"}));
    EXPECT_EQ(server.requests.back(), "file=b.cab&mb_pos=80&length=160000000&crc=1");
    EXPECT_TRUE(written(u"C:\\T\\a.cab") == server.files["a.cab"]);
    EXPECT_TRUE(written(u"C:\\T\\b.cab") == server.files["b.cab"]);
    EXPECT_EQ(sink.state.bytesTotal, 125000000);
    EXPECT_EQ(sink.state.bytesDone, 125000001);  // starts at one
    EXPECT_EQ(system.httpAgent, u"QendraSetup");
}

TEST_F(Downloads, EveryKindOfBadSegmentHalvesTheLengthAndIsFetchedAgain) {
    server.files["a.cab"] = content(65000000, 3);
    const std::string shortPiece = server.files["a.cab"].substr(30000000, 100);
    // Requests 1-5: the size and two good segments; then one fault per request.
    server.fault = [&shortPiece](const std::string&, int n, Reply& reply) {
        if (n == 7) reply.body[0] ^= 1;          // the digest of 30/40M differs
        if (n == 8) reply.body += "more";        // 30/20M: more than was asked for
        if (n == 9) reply.failReadAfter = 1000;  // 30/10M: connection reset
        if (n == 10) reply.status = 500;         // 30/10M: an error page
        if (n == 11) reply.body.resize(100);     // 30/10M: short, though...
        if (n == 12)
            reply.body = md5Hex(reinterpret_cast<const unsigned char*>(shortPiece.data()), 100);  // ...verified
    };
    EXPECT_EQ(segments({u"a.cab"}), kDownloadDone);
    EXPECT_TRUE(written(u"C:\\T\\a.cab") == server.files["a.cab"]);
    EXPECT_EQ(segmentRequests(), (std::vector<std::string>{
                                     "file=a.cab&mb_pos=0&length=10000000", "file=a.cab&mb_pos=10&length=20000000",
                                     "file=a.cab&mb_pos=30&length=40000000", "file=a.cab&mb_pos=30&length=20000000",
                                     "file=a.cab&mb_pos=30&length=10000000", "file=a.cab&mb_pos=30&length=10000000",
                                     "file=a.cab&mb_pos=30&length=10000000", "file=a.cab&mb_pos=30&length=10000000",
                                     "file=a.cab&mb_pos=40&length=20000000", "file=a.cab&mb_pos=60&length=40000000"}));
    EXPECT_EQ(sink.state.bytesDone, 65000001);  // failed bytes were taken off
    EXPECT_EQ(counts.bytesKept, 65000000);
    EXPECT_EQ(counts.segmentsFetchedAgain, 5);
    // Five failures in a row waited 100, 200, 400, 800 and 1600 ms; the success reset it.
    std::uint64_t waited = 0;
    for (std::uint32_t ms : system.sleeps) waited += ms;
    EXPECT_EQ(waited, 3100u);
}

// A file that changes on the server after its size was read: the server's digests follow
// the new file, so its short segments verify.
struct ChangedFile {
    const char* story;
    std::size_t announced, served;
    int result;
    std::size_t kept;  // bytes of the file's start left on disk
    std::vector<std::pair<int, int>> segments;  // position and length, in millions
};

void PrintTo(const ChangedFile& c, std::ostream* out) { *out << c.story; }

class FileChangedOnTheServer : public Downloads, public ::testing::WithParamInterface<ChangedFile> {};

TEST_P(FileChangedOnTheServer, NothingBeyondTheAnnouncedSizeIsWrittenAndShortSegmentsEnd) {
    const ChangedFile& c = GetParam();
    const std::string grown = content(std::max(c.announced, c.served), 7);
    server.files["a.cab"] = grown.substr(0, c.announced);
    server.fault = [this, &c, &grown](const std::string&, int n, Reply&) {
        if (n == 1) server.files["a.cab"] = grown.substr(0, c.served);  // after the size reply
        if (n == 40) sink.state.cancelRequested = true;                 // a download that would never end
    };
    EXPECT_EQ(segments({u"a.cab"}), c.result);
    EXPECT_TRUE(written(u"C:\\T\\a.cab") == grown.substr(0, c.kept));
    std::vector<std::string> expected;
    for (auto [at, length] : c.segments)
        expected.push_back("file=a.cab&mb_pos=" + std::to_string(at) + "&length=" + std::to_string(length) + "000000");
    EXPECT_EQ(segmentRequests(), expected);
    if (c.result == kDownloadDone) {
        EXPECT_EQ(sink.state.bytesDone, std::int64_t(c.announced) + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Downloads, FileChangedOnTheServer,
    ::testing::Values(
        ChangedFile{"ShrankWithinTheSecondSegment", 31000000, 15500000, kDownloadTransferProblem, 10000000,
                    {{0, 10}, {10, 20}, {10, 10}}},
        ChangedFile{"ShrankToASegmentBoundary", 35000000, 30000000, kDownloadTransferProblem, 30000000,
                    {{0, 10}, {10, 20}, {30, 40}, {30, 20}, {30, 10}}},
        ChangedFile{"ShrankByOneByte", 10000001, 10000000, kDownloadTransferProblem, 10000000,
                    {{0, 10}, {10, 20}, {10, 10}}},
        ChangedFile{"GrewPastTheLastSegment", 35000000, 90000000, kDownloadDone, 35000000,
                    {{0, 10}, {10, 20}, {30, 40}}},
        ChangedFile{"GrewWithinTheLastSegment", 35000000, 36000000, kDownloadDone, 35000000,
                    {{0, 10}, {10, 20}, {30, 40}}}),
    [](const ::testing::TestParamInfo<ChangedFile>& param) { return std::string(param.param.story); });

TEST_F(Downloads, BadSizeRepliesAreAskedAgainWithGrowingPausesUntilCancel) {
    server.files["a.cab"] = "x";
    server.fault = [this](const std::string& url, int n, Reply& reply) {
        if (url.find("mb_pos") != std::string::npos) return;
        reply.body = n % 2 ? "0" : "12345678901234567";  // zero, or 17 characters
        if (n == 6) sink.state.cancelRequested = true;
    };
    EXPECT_EQ(segments({u"a.cab"}), kDownloadCancelled);
    EXPECT_EQ(server.requests.size(), 6u);
    // 100, 200, 400, 800, 1600 ms in 50 ms steps, each step looking at Cancel.
    std::uint64_t waited = 0;
    for (std::uint32_t ms : system.sleeps) waited += ms;
    EXPECT_EQ(waited, 100u + 200 + 400 + 800 + 1600);
    EXPECT_TRUE(std::all_of(system.sleeps.begin(), system.sleeps.end(), [](std::uint32_t ms) { return ms <= 50; }));
}

TEST_F(Downloads, ADigestWithATrailingNewlineNeverMatchesAndCancelKeepsOnlyVerifiedSegments) {
    server.files["a.cab"] = content(25000000, 4);
    server.fault = [this](const std::string& url, int n, Reply& reply) {
        if (url.find("crc=1") != std::string::npos && n > 3) reply.body += "\n";
        if (n == 20) sink.state.cancelRequested = true;
    };
    EXPECT_EQ(segments({u"a.cab"}), kDownloadCancelled);
    const std::vector<std::string> s = segmentRequests();
    EXPECT_EQ(s[1], "file=a.cab&mb_pos=10&length=20000000");
    for (std::size_t i = 2; i < s.size(); ++i) EXPECT_EQ(s[i], "file=a.cab&mb_pos=10&length=10000000");
    EXPECT_TRUE(written(u"C:\\T\\a.cab") == server.files["a.cab"].substr(0, 10000000));
}

TEST_F(Downloads, AStallCostsARetryAfterItsTimeOutAndCancelDuringOneIsAnsweredAtOnce) {
    server.files["a.cab"] = content(25000000, 10);
    server.fault = [this](const std::string&, int n, Reply& reply) {
        reply.stalls = n == 2 || n == 5;                             // the segments at 0 and at 10
        if (n == 5) sink.state.cancelRequested = true;               // pressed while nothing comes
    };
    EXPECT_EQ(segments({u"a.cab"}), kDownloadCancelled);
    EXPECT_EQ(system.httpStalls, (std::vector<std::string>{"timed out", "stopped waiting"}));
    EXPECT_EQ(server.requests.size(), 5u);
    EXPECT_TRUE(written(u"C:\\T\\a.cab") == server.files["a.cab"].substr(0, 10000000));

    system.onHttp = [this](const std::u16string&) {
        sink.state.cancelRequested = true;
        Reply reply;
        reply.stalls = true;
        return reply;
    };
    EXPECT_EQ(downloadFileWork(system, sink, u"QendraSetup", u"http://h/u.exe", u"C:\\T\\u.exe"), kDownloadCancelled);
    EXPECT_EQ(system.httpStalls.back(), "stopped waiting");
}

TEST_F(Downloads, SegmentedResultCodes) {
    EXPECT_EQ(segments({}), kDownloadDone);
    EXPECT_EQ(segments(std::vector<std::u16string>(1001, u"a.cab")), kDownloadTransferProblem);
    server.files["a.cab"] = content(6000, 5);
    system.unwritableFolders.insert(u"C:\\T");
    EXPECT_EQ(segments({u"a.cab"}), kDownloadLocalFileProblem);
    system.httpSessionFails = true;
    EXPECT_EQ(segments({u"a.cab"}), kDownloadLocalFileProblem);
}

TEST_F(Downloads, ASingleFileMustBeAnnouncedWithAtLeast5000BytesAndArriveWhole) {
    Reply reply;
    system.onHttp = [&reply](const std::u16string&) { return reply; };
    auto get = [this] { return downloadFileWork(system, sink, u"QendraSetup", u"http://h/u.exe", u"C:\\T\\u.exe"); };

    reply.body = content(5000, 6);
    reply.contentLength = u"5000";
    EXPECT_EQ(get(), kDownloadDone);
    EXPECT_TRUE(written(u"C:\\T\\u.exe") == reply.body);

    system.files.clear();
    reply.contentLength = u"4999";
    EXPECT_EQ(get(), kDownloadTransferProblem);
    EXPECT_FALSE(system.files.count(u"C:\\T\\u.exe"));  // nothing written
    reply.contentLength.reset();
    EXPECT_EQ(get(), kDownloadTransferProblem);
    reply.contentLength = u"6000";  // ends early
    EXPECT_EQ(get(), kDownloadTransferProblem);
    reply.contentLength = u"5000";
    reply.status = 404;  // an error page is never the file
    EXPECT_EQ(get(), kDownloadTransferProblem);
    reply.status = 200;
    reply.failReadAfter = 4096;
    EXPECT_EQ(get(), kDownloadTransferProblem);
    // Written in large pieces, but what arrived before a failure is in the file.
    EXPECT_TRUE(written(u"C:\\T\\u.exe") == reply.body.substr(0, 4096));
    reply.failReadAfter = std::string::npos;
    EXPECT_EQ(downloadFileWork(system, sink, u"a", u"http://h/u.exe", u""), kDownloadLocalFileProblem);
    system.failingCloses.insert(u"C:\\T\\u.exe");
    EXPECT_EQ(get(), kDownloadLocalFileProblem);
    sink.state.cancelRequested = true;
    EXPECT_EQ(get(), kDownloadCancelled);
}

TEST_F(Downloads, TheMaterialArrivesInTheTemporaryFolderBehindItsPage) {
    FakeUi ui;
    CBootstrapperApp application(system, ui);
    RunContext& app = application.run();
    app.choices.languageIndex = 1;
    app.product.materialUrl = u"http://h";
    app.product.materialCabFiles = u"a.cab  b.cab";
    server.files["a.cab"] = content(7000, 8);
    server.files["b.cab"] = content(9000, 9);
    const std::u16string folder = u"\\\\?\\C:\\Temp\\";
    system.addFile(folder + u"a.cab", "old");
    system.fileStatus[folder + u"a.cab"] = {platform::kAttributeReadOnly, 0, 0, 0};
    ui.pageAnswers.push_back([](platform::PageModel& page) {
        page.work();
        return "next";
    });
    EXPECT_EQ(downloadMaterial(app), kDownloadDone);
    const platform::PageModel& page = ui.pagesShown.back();
    EXPECT_EQ(page.workKind, platform::WorkKind::DownloadSegments);
    EXPECT_EQ(page.title, app.text(TextRow::DownloadingMaterial));
    EXPECT_EQ(page.message, app.text(TextRow::DownloadingMaterialMessage));
    EXPECT_EQ(page.progressTitle, app.text(TextRow::Status));
    EXPECT_TRUE(written(folder + u"a.cab") == server.files["a.cab"]);
    EXPECT_TRUE(written(folder + u"b.cab") == server.files["b.cab"]);
    EXPECT_EQ(system.httpAgent, u"QendraSetup");
}

}  // namespace
