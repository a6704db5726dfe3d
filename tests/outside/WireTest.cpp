// The wire formats a handset speaks: property lists, usbmux and lockdown
// packets, AFC answers, and where device paths go. Hostile input (random,
// truncated, oversized) must fail cleanly, without a crash, a hang or an
// allocation that follows a claimed length instead of the bytes received.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

#include "outside/handset/afc/AfcClient.h"
#include "outside/handset/device/DeviceRoute.h"
#include "outside/handset/lockdown/Lockdown.h"
#include "outside/handset/lockdown/PairRecord.h"
#include "outside/handset/wire/Plist.h"
#include "outside/handset/wire/Usbmux.h"

// Replacing the global allocation functions: GCC cannot see they match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// The largest single allocation while a thread watches.
thread_local bool t_watching = false;
thread_local size_t t_largest = 0;

struct AllocationWatch {
    AllocationWatch() {
        t_largest = 0;
        t_watching = true;
    }
    ~AllocationWatch() { t_watching = false; }
    size_t Largest() const { return t_largest; }
};

}  // namespace

void* operator new(size_t size) {
    if (t_watching && size > t_largest) t_largest = size;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using handset::wire::Plist;

const char kBinary[] =
    "\x62\x70\x6c\x69\x73\x74\x30\x30\xd7\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x10\x11\x12\x1a\x53\x42\x69\x67\x54"
    "\x44\x61\x74\x61\x54\x4c\x69\x73\x74\x5b\x4d\x65\x73\x73\x61\x67\x65\x54\x79\x70\x65\x54\x4e\x61\x6d\x65\x56\x4e"
    "\x65\x73\x74\x65\x64\x56\x4e\x75\x6d\x62\x65\x72\x13\x00\x00\x01\x00\x00\x00\x00\x00\x43\x00\x01\x02\xa5\x0b\x0c"
    "\x0d\x0e\x0f\x10\x01\x09\x08\x23\x40\x04\x00\x00\x00\x00\x00\x00\x13\xff\xff\xff\xff\xff\xff\xff\xf9\x56\x52\x65"
    "\x73\x75\x6c\x74\x6a\x00\x50\x00\x65\x00\x6c\x00\x69\x00\x63\x00\x61\x00\x6e\x00\x20\x00\xe9\x65\xe5\xd1\x13\x14"
    "\x51\x61\xd1\x15\x16\x51\x62\xa1\x17\xd1\x18\x19\x51\x63\x51\x64\x10\x00\x08\x17\x1b\x20\x25\x31\x36\x3d\x44\x4d"
    "\x51\x57\x59\x5a\x5b\x64\x6d\x74\x89\x8c\x8e\x91\x93\x95\x98\x9a\x9c\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00"
    "\x00\x00\x00\x00\x1b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x9e";

const char kXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"x\">\n"
    "<plist version=\"1.0\"><dict><key>MessageType</key><string>Attached</string><key>DeviceID</key>"
    "<integer>7</integer><!-- note --><key>Properties</key><dict><key>ConnectionType</key><string>USB</string>"
    "<key>SerialNumber</key><string>00008030-ABC</string><key>Flags</key><array><true/><false/><real>1.5</real>"
    "</array><key>Blob</key><data>AAEC\n/w==</data><key>Text</key><string>a &amp; b &lt;c&gt; &#233;&#x65E5;</string>"
    "<key>Empty</key><dict/></dict></dict></plist>";

std::string Binary() { return std::string(kBinary, sizeof(kBinary) - 1); }

// Feeds fixed bytes to a reader; records what is sent; then reports a closed peer.
class MemoryStream final : public handset::wire::Stream {
public:
    explicit MemoryStream(std::string answer) : answer_(std::move(answer)) {}
    bool Send(const void* data, size_t size) override {
        sent.append(static_cast<const char*>(data), size);
        ++sends;
        return true;
    }
    bool Receive(void* data, size_t size) override {
        if (answer_.size() - at_ < size) return false;
        std::memcpy(data, answer_.data() + at_, size);
        at_ += size;
        return true;
    }
    void Abort() override {}
    std::string sent;
    int sends = 0;

private:
    std::string answer_;
    size_t at_ = 0;
};

// One of a few ways to spoil a valid message.
std::string Mutate(const std::string& good, std::mt19937& rng) {
    std::string bad = good;
    switch (rng() % 5) {
        case 0:  // truncated
            bad.resize(rng() % bad.size());
            break;
        case 1:  // a few bytes changed
            for (int i = 0, n = 1 + rng() % 4; i < n; ++i) bad[rng() % bad.size()] = static_cast<char>(rng());
            break;
        case 2:  // a run of 0xFF, as an oversized length or count would be
            std::memset(&bad[rng() % bad.size()], 0xFF, 1);
            for (int i = 0; i < 8; ++i) bad[rng() % bad.size()] = static_cast<char>(0xFF);
            break;
        case 3:  // random bytes appended or inserted
            bad.insert(rng() % bad.size(), std::string(1 + rng() % 16, static_cast<char>(rng())));
            break;
        default:  // pure noise of the same length
            for (char& c : bad) c = static_cast<char>(rng());
    }
    return bad;
}

TEST(PlistRead, XmlAndBinaryGiveTheValuesTheyHold) {
    Plist xml;
    ASSERT_TRUE(handset::wire::ParsePlist(kXml, sizeof(kXml) - 1, &xml));
    std::int64_t id = 0;
    ASSERT_TRUE(xml.GetInteger("DeviceID", &id));
    EXPECT_EQ(7, id);
    const Plist* props = xml.Find("Properties");
    ASSERT_NE(nullptr, props);
    std::string text;
    EXPECT_TRUE(props->GetString("Text", &text));
    EXPECT_EQ("a & b <c> \xC3\xA9\xE6\x97\xA5", text);
    EXPECT_EQ(std::string("\x00\x01\x02\xFF", 4), props->Find("Blob")->text);
    EXPECT_EQ(3u, props->Find("Flags")->items.size());

    Plist binary;
    const std::string bytes = Binary();
    ASSERT_TRUE(handset::wire::ParsePlist(bytes.data(), bytes.size(), &binary));
    EXPECT_TRUE(binary.GetString("Name", &text));
    EXPECT_EQ("Pelican \xC3\xA9\xE6\x97\xA5", text) << "UTF-16 strings arrive as UTF-8";
    ASSERT_TRUE(binary.GetInteger("Big", &id));
    EXPECT_EQ(1ll << 40, id);
    const Plist* list = binary.Find("List");
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(5u, list->items.size());
    EXPECT_EQ(-7, list->items[4].integer);
    EXPECT_DOUBLE_EQ(2.5, list->items[3].real);
    EXPECT_EQ(std::string("\x00\x01\x02", 3), binary.Find("Data")->text);
    EXPECT_EQ("d", binary.Find("Nested")->Find("a")->Find("b")->items[0].Find("c")->text);
}

TEST(PlistRead, WhatIsWrittenReadsBackTheSame) {
    Plist v = Plist::Dict();
    v.Set("Label", Plist::String("<Pelican & co>"));
    v.Set("Port", Plist::Integer(-62078));
    v.Set("Blob", Plist::Data(std::string("\0\xFF\x10", 3)));
    v.Set("Flag", Plist::Bool(true));
    v.Set("Empty", Plist::Array());
    const std::string xml = handset::wire::WriteXmlPlist(v);
    Plist back;
    ASSERT_TRUE(handset::wire::ParsePlist(xml.data(), xml.size(), &back));
    EXPECT_EQ(handset::wire::WriteXmlPlist(back), xml);
}

TEST(PlistRead, RefusesWhatIsMalformedOrTooDeep) {
    std::string nested;
    for (int i = 0; i < 40; ++i) nested += "<array>";
    for (int i = 0; i < 40; ++i) nested += "</array>";
    const char* bad[] = {
        "",
        "<plist>",
        "<plist><dict><key>a</key></dict></plist>",
        "<plist><integer>12x</integer></plist>",
        "<plist><integer>99999999999999999999</integer></plist>",
        "<plist><string>&bogus;</string></plist>",
        "<plist><data>@@@@</data></plist>",
        "<plist><string>a</plist>",
        "<plist><dict></array></plist>",
        "bplist00",
        nested.c_str(),
    };
    for (const char* text : bad) {
        Plist out = Plist::String("left over");
        EXPECT_FALSE(handset::wire::ParsePlist(text, std::strlen(text), &out)) << text;
        EXPECT_EQ(Plist::Type::None, out.type) << text;
    }
}

// Thousands of spoiled answers, from a fixed seed so that a failure repeats.
TEST(PlistRead, SpoiledAnswersFailCleanlyWithoutLargeAllocations) {
    std::mt19937 rng(20261208);
    const std::string samples[] = {Binary(), std::string(kXml, sizeof(kXml) - 1)};
    for (int i = 0; i < 4000; ++i) {
        const std::string bad = Mutate(samples[i % 2], rng);
        Plist out;
        AllocationWatch watch;
        handset::wire::ParsePlist(bad.data(), bad.size(), &out);
        // Values are counted, never claimed lengths: a value node per answer byte at most.
        ASSERT_LE(watch.Largest(), 256 * bad.size() + 4096) << "case " << i;
    }
}

TEST(MuxPacket, ReadsOnePacketAndRefusesBadHeaders) {
    Plist message = Plist::Dict();
    message.Set("MessageType", Plist::String("Result")).Set("Number", Plist::Integer(0));
    const std::string good = handset::wire::EncodeMuxPacket(message, 3);
    MemoryStream stream(good);
    Plist read;
    ASSERT_TRUE(handset::wire::ReadMuxPacket(&stream, &read));
    std::int64_t number = -1;
    EXPECT_TRUE(read.GetInteger("Number", &number));
    EXPECT_EQ(0, number);

    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        std::string bad = Mutate(good, rng);
        if (i % 3 == 0 && bad.size() >= 4) std::memset(&bad[0], 0x7F, 4);  // a length of 2 GiB
        MemoryStream spoiled(bad);
        AllocationWatch watch;
        handset::wire::ReadMuxPacket(&spoiled, &read);
        ASSERT_LE(watch.Largest(), 256 * bad.size() + 4096) << "case " << i;
    }
}

TEST(MuxPacket, ADeviceNeedsAnIdAndAUdidThatCanNameAFile) {
    struct Case {
        const char* udid;
        bool ok;
    } cases[] = {{"00008030-001C25D40C38802E", true}, {"..\\..\\evil", false}, {"a/b", false}, {"", true}};
    for (const Case& c : cases) {
        Plist props = Plist::Dict();
        props.Set("SerialNumber", Plist::String(c.udid)).Set("ConnectionType", Plist::String("USB"));
        Plist entry = Plist::Dict();
        entry.Set("DeviceID", Plist::Integer(5)).Set("Properties", props);
        handset::wire::MuxDevice device;
        EXPECT_EQ(c.ok, handset::wire::ParseMuxDevice(entry, &device)) << c.udid;
    }
}

TEST(LockdownMessage, LengthIsCheckedBeforeAnythingIsRead) {
    Plist message = Plist::Dict();
    message.Set("Request", Plist::String("QueryType"));
    MemoryStream stream(handset::lockdown::EncodeLockdownMessage(message));
    Plist read;
    ASSERT_TRUE(handset::lockdown::ReadLockdownMessage(&stream, &read));
    MemoryStream huge(std::string("\x7F\xFF\xFF\xFF<plist>", 11));
    AllocationWatch watch;
    EXPECT_FALSE(handset::lockdown::ReadLockdownMessage(&huge, &read));
    EXPECT_LT(watch.Largest(), 4096u);
}

TEST(PairRecordRead, NeedsHostIdAndOneCertificatePair) {
    Plist record = Plist::Dict();
    record.Set("HostID", Plist::String("H"));
    std::string xml = handset::wire::WriteXmlPlist(record);
    handset::lockdown::PairRecord parsed;
    EXPECT_FALSE(handset::lockdown::ParsePairRecord(xml, &parsed)) << "no certificates";
    record.Set("RootCertificate", Plist::Data("root")).Set("RootPrivateKey", Plist::Data("key"));
    xml = handset::wire::WriteXmlPlist(record);
    ASSERT_TRUE(handset::lockdown::ParsePairRecord(xml, &parsed));
    EXPECT_EQ("root", parsed.rootCertificate);
}

std::string AfcAnswer(std::uint64_t op, std::uint64_t number, const std::string& data) {
    return handset::afc::EncodePacket(op, number, "", data.data(), data.size());
}

TEST(AfcAnswer, RequestsLeaveInOneSendAndAnswersAreChecked) {
    using namespace handset::afc;
    auto client = [](std::string answer, MemoryStream** stream) {
        auto s = std::make_unique<MemoryStream>(std::move(answer));
        *stream = s.get();
        return std::make_unique<AfcClient>(std::move(s));
    };
    MemoryStream* stream = nullptr;
    auto afc = client(AfcAnswer(kData, 0, std::string("a\0b\0.\0..\0", 9)), &stream);
    std::vector<std::string> names;
    ASSERT_EQ(kSuccess, afc->ReadDirectory("/DCIM", &names));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), names);
    EXPECT_EQ(1, stream->sends);
    EXPECT_EQ(std::string("/DCIM\0", 6), stream->sent.substr(kHeaderSize));

    const char kInfo[] =
        "st_size\0"
        "6000000000\0"
        "st_ifmt\0S_IFREG\0st_mtime\0"
        "1700000000123456789";
    const std::string info(kInfo, sizeof(kInfo));
    afc = client(AfcAnswer(kData, 0, info), &stream);
    FileInfo fi;
    ASSERT_EQ(kSuccess, afc->GetFileInfo("/big", &fi));
    EXPECT_EQ(6000000000ull, fi.size) << "sizes past 4 GiB stay whole";
    EXPECT_EQ(1700000000123456789ull, fi.modifiedNs);

    afc = client(AfcAnswer(kStatus, 0, Le64(kObjectNotFound)), &stream);
    EXPECT_EQ(kObjectNotFound, afc->GetFileInfo("/gone", &fi));
    EXPECT_FALSE(afc->Broken());

    afc = client(AfcAnswer(kData, 5, info), &stream);
    EXPECT_EQ(kTransportFailed, afc->GetFileInfo("/x", &fi)) << "an answer to another request";
    EXPECT_TRUE(afc->Broken());
    EXPECT_EQ(kTransportFailed, afc->GetFileInfo("/x", &fi)) << "broken for good";

    std::string data;
    afc = client(AfcAnswer(kData, 0, std::string(100, 'x')), &stream);
    EXPECT_EQ(kTransportFailed, afc->Read(1, 10, &data)) << "more than was asked for";

    // Pipelined: a close posted in passing is answered first and its answer dropped.
    afc = client(AfcAnswer(kStatus, 0, Le64(0)) + AfcAnswer(kData, 1, info) + AfcAnswer(kData, 2, "ab"), &stream);
    ASSERT_EQ(kSuccess, afc->PostClose(7, false));
    ASSERT_EQ(kSuccess, afc->PostGetFileInfo("/big"));
    ASSERT_EQ(kSuccess, afc->PostRead(3, 2));
    ASSERT_EQ(kSuccess, afc->CollectFileInfo(&fi));
    EXPECT_EQ(6000000000ull, fi.size);
    ASSERT_EQ(kSuccess, afc->CollectRead(2, &data));
    EXPECT_EQ("ab", data);
    EXPECT_EQ(1, stream->sends) << "requests posted together leave together";
}

TEST(AfcAnswer, SpoiledAnswersFailCleanlyWithoutLargeAllocations) {
    using namespace handset::afc;
    const std::string info(
        "st_size\0"
        "12\0"
        "st_ifmt\0S_IFDIR\0",
        26);
    const std::string goods[] = {AfcAnswer(kData, 0, info), AfcAnswer(kStatus, 0, Le64(0)),
                                 AfcAnswer(kFileOpenResult, 0, Le64(9))};
    std::mt19937 rng(12);
    for (int i = 0; i < 4000; ++i) {
        std::string bad = Mutate(goods[i % 3], rng);
        if (i % 4 == 0 && bad.size() >= 16) bad.replace(8, 8, Le64(1ull << 62));  // an answer of 4 EiB
        AfcClient afc(std::make_unique<MemoryStream>(bad));
        AllocationWatch watch;
        FileInfo fi;
        std::uint64_t handle = 0;
        std::vector<std::string> names;
        switch (i % 3) {
            case 0:
                afc.GetFileInfo("/a", &fi);
                break;
            case 1:
                afc.MakeDirectory("/a");
                break;
            default:
                afc.Open("/a", kReadOnly, &handle);
        }
        afc.ReadDirectory("/b", &names);  // after a failure: refused at once
        ASSERT_LE(watch.Largest(), 2 * bad.size() + 4096) << "case " << i;
    }
}

TEST(DeviceRouteTest, MediaPathsUseTheMediaServiceAndTheRestNeedsTheRootService) {
    using handset::device::Route;
    using handset::device::Service;
    struct Case {
        const wchar_t* path;
        bool hasRoot;
        Route::Kind kind;
        Service service;
        const char* afcPath;
    } cases[] = {
        {L"/var/mobile/Media", false, Route::Kind::Afc, Service::Media, "/"},
        {L"/var/mobile/Media/DCIM//a.jpg", false, Route::Kind::Afc, Service::Media, "/DCIM/a.jpg"},
        {L"/var/mobile/Media/\x65E5.txt", false, Route::Kind::Afc, Service::Media, "/\xE6\x97\xA5.txt"},
        {L"/", false, Route::Kind::Virtual, Service::Media, ""},
        {L"/var/mobile/", false, Route::Kind::Virtual, Service::Media, ""},
        {L"/private/etc", false, Route::Kind::Refused, Service::Media, ""},
        {L"/var/mobile/Library", false, Route::Kind::Refused, Service::Media, ""},
        {L"/private/etc", true, Route::Kind::Afc, Service::Root, "/private/etc"},
        {L"/var", true, Route::Kind::Afc, Service::Root, "/var"},
        {L"/var/mobile/Media/../../etc", true, Route::Kind::Refused, Service::Media, ""},
        {L"/var/mobile/media", false, Route::Kind::Refused, Service::Media, ""},
    };
    for (const Case& c : cases) {
        const Route route = handset::device::RoutePath(c.path, c.hasRoot);
        EXPECT_EQ(c.kind, route.kind) << c.path;
        if (c.kind == Route::Kind::Afc) {
            EXPECT_EQ(c.service, route.service) << c.path;
            EXPECT_EQ(c.afcPath, route.afcPath) << c.path;
        }
    }
}

}  // namespace
