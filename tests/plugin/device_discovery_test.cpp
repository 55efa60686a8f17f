#include <gtest/gtest.h>

#include <cstring>

#include "tests/plugin/support/plugin_fixture.h"

namespace pellion::testing {
namespace {

class DeviceDiscoveryTest : public PluginTest {};

TEST_F(DeviceDiscoveryTest, OnlyTheScannerProductPassesTheFilter)
{
    ScannerProfile other = Scanner("\\\\?\\hid#other", L"SN01OTHER");
    other.productId = 0x1300;
    ScannerProfile foreign = Scanner("\\\\?\\hid#foreign", L"SN01FOREIGN");
    foreign.vendorId = 0x046D;
    sim.Add(other);
    sim.Add(foreign);
    sim.Add(Scanner("\\\\?\\hid#scanner", L"SN01SCANNER"));

    EXPECT_EQ(Enumerate(), 1);

    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0]->record->path, "\\\\?\\hid#scanner");
    // The rejected interfaces are closed again; the device set is released.
    EXPECT_EQ(sim.OpenHandles(), 1u);
    EXPECT_EQ(sim.OpenDeviceSets(), 0u);
}

TEST_F(DeviceDiscoveryTest, EntriesFollowTheEnumerationOrder)
{
    sim.Add(Scanner("p1", L"SN01AAAA"));
    sim.Add(Scanner("p2", L"SN01BBBB"));
    sim.Add(Scanner("p3", L"SN01CCCC"));
    Enumerate();
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_STREQ(entries[0]->record->path, "p1");
    EXPECT_STREQ(entries[1]->record->path, "p2");
    EXPECT_STREQ(entries[2]->record->path, "p3");
}

TEST_F(DeviceDiscoveryTest, InterfacesSharingASerialGiveOneEntryOwnedByTheLast)
{
    const std::wstring serial = SerialWithGuid(L"0123456789ABCDEF0123456789ABCDEF");
    sim.Add(Scanner("if0", serial));
    sim.Add(Scanner("if1", serial));
    sim.Add(Scanner("if2", serial));
    Enumerate();

    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0]->record->path, "if2");
    EXPECT_EQ(entries[0]->port->hidHandle.load(), entries[0]->record->hidHandle.load());
    EXPECT_EQ(list.Known().Count(), 1u);
    // The records given up do not keep their handles or notifications.
    EXPECT_EQ(sim.OpenHandles(), 1u);
    EXPECT_EQ(sim.RegisteredNotifications(), 1u);
}

TEST_F(DeviceDiscoveryTest, AnUnreadableSerialSkipsTheInterface)
{
    ScannerProfile mute = Scanner("mute", L"SN01MUTE");
    mute.serialUnreadable = true;
    sim.Add(mute);
    sim.Add(Scanner("talks", L"SN01TALKS"));
    Enumerate();
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0]->record->path, "talks");
}

TEST_F(DeviceDiscoveryTest, NoDeviceSetGivesMinus40)
{
    sim.FailDeviceSets(true);
    EXPECT_EQ(Enumerate(), kErrNoDeviceSet);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(DeviceDiscoveryTest, AnEmptySystemEnumeratesToNoEntries)
{
    EXPECT_EQ(Enumerate(), 1);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(DeviceDiscoveryTest, OpenDeviceReportsNewEntriesOnly)
{
    sim.Add(Scanner("a", L"SN01SAME"));
    sim.Add(Scanner("b", L"SN01SAME"));
    const OpenDeviceResult first = list.OpenDevice("a", host.NotificationWindow(), nullptr, false);
    const OpenDeviceResult second = list.OpenDevice("b", host.NotificationWindow(), nullptr, false);
    const OpenDeviceResult missing = list.OpenDevice("gone", host.NotificationWindow(), nullptr, false);

    EXPECT_EQ(first.result, 1);
    EXPECT_NE(first.newEntry, nullptr);
    EXPECT_EQ(second.result, 1);
    EXPECT_EQ(second.newEntry, nullptr);
    EXPECT_EQ(missing.result, 0);
    EXPECT_EQ(list.Count(), 1u);
}

TEST_F(DeviceDiscoveryTest, ANewEntrysPortTalksToTheHostWindow)
{
    CompDeviceInfo* entry = Attach(Scanner("p", L"SN01HOST"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->port->hostWindow, host.Handle());
    EXPECT_EQ(entry->record->openFlag, 1);
    EXPECT_NE(entry->record->notification, nullptr);
}

TEST_F(DeviceDiscoveryTest, TheGuidTextBufferGetsTheWholeSerial)
{
    sim.Add(Scanner("p", L"SN01ABCDEF"));
    char buffer[kGuidTextBufferBytes];
    std::memset(buffer, 'x', sizeof buffer);
    list.OpenDevice("p", host.NotificationWindow(), buffer, false);
    EXPECT_STREQ(buffer, "SN01ABCDEF");
}

TEST_F(DeviceDiscoveryTest, ALongSerialIsCutToFitTheGuidTextBuffer)
{
    sim.Add(Scanner("p", std::wstring(254, L'7')));
    char buffer[kGuidTextBufferBytes];
    list.OpenDevice("p", host.NotificationWindow(), buffer, false);
    EXPECT_EQ(std::strlen(buffer), kGuidTextBufferBytes - 1);
}

class KnownScannersTest : public PluginTest {};

TEST_F(KnownScannersTest, ScannersDifferingAfterCharacter35ShareOneRecord)
{
    const std::wstring guid = L"0123456789ABCDEF0123456789ABCDEF";
    sim.Add(Scanner("a", SerialWithGuid(guid, L"-first")));
    sim.Add(Scanner("b", SerialWithGuid(guid, L"-second")));
    Enumerate();
    EXPECT_EQ(list.Count(), 2u);
    ASSERT_EQ(list.Known().Count(), 1u);
    const KnownScanner* known = list.Known().Find("0123456789ABCDEF0123456789ABCDEF");
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(known->announced, 1);
}

TEST_F(KnownScannersTest, TheRecordCarriesOnlyTheGuidTextAndTheFlag)
{
    sim.Add(Scanner("a", SerialWithGuid(L"GUIDTEXT")));
    list.OpenDevice("a", host.NotificationWindow(), nullptr, false);
    const KnownScanner* known = list.Known().Find("GUIDTEXT");
    ASSERT_NE(known, nullptr);
    EXPECT_EQ(known->announced, 0);
    KnownScanner expected{};
    std::strcpy(expected.record.guidText, "GUIDTEXT");
    EXPECT_EQ(std::memcmp(&known->record, &expected.record, sizeof expected.record), 0);
}

TEST_F(KnownScannersTest, ASerialShorterThanFiveCharactersGivesAnEmptyGuidText)
{
    CompDeviceInfo* entry = Attach(Scanner("a", L"SN0"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GuidText(*entry->record), "");
    EXPECT_NE(list.Known().Find(""), nullptr);
}

TEST_F(KnownScannersTest, IdentityTextsAreCutAtThirtyTwoBytesOfTheCodePage)
{
    CompDeviceInfo* entry = Attach(Scanner("a", SerialWithGuid(std::wstring(40, L'G'))));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GuidText(*entry->record), std::string(32, 'G'));
    EXPECT_EQ(SecondIdentityText(*entry->record), std::string(3, 'G'));
}

TEST(SerialTextTest, ConversionNeverSplitsAMultibyteCharacter)
{
    // Under code page 936 each of these characters takes two bytes, so 17
    // of them leave room for 16 in 32 bytes and none for the odd byte.
    wchar_t serial[kSerialCapacity] = {};
    for (int i = 0; i < 17; ++i)
        serial[i] = L'\x6587';  // 文
    const std::string text = SerialText(serial, 0, kIdentityTextBytes);
    if (::GetACP() == 936) {
        EXPECT_EQ(text.size(), 32u);
    }
    EXPECT_LE(text.size(), 32u);
}

TEST(SerialTextTest, AnUnterminatedSerialStopsAtTheFieldsEnd)
{
    wchar_t serial[kSerialCapacity];
    std::fill(std::begin(serial), std::end(serial), L'A');
    EXPECT_EQ(SerialText(serial, 250, 32), "AAAAA");
}

class ClosedDeviceHandlesTest : public PluginTest {};

TEST_F(ClosedDeviceHandlesTest, NoOpenHandleMeansSuccessAndNoLine)
{
    TraceCapture trace;
    EXPECT_TRUE(list.ClosedDeviceHandles());
    EXPECT_TRUE(trace.Lines().empty());
}

TEST_F(ClosedDeviceHandlesTest, EveryHandleIsClosedWithALineEvenWhenTracingIsOff)
{
    sim.Add(Scanner("first", L"SN01ONE"));
    sim.Add(Scanner("second", L"SN01TWO"));
    Enumerate();
    TraceCapture trace(false);

    EXPECT_TRUE(list.ClosedDeviceHandles());

    EXPECT_EQ(trace.Lines(), (std::vector<std::string>{"PnPHandler: ClosedDeviceHandles: Closing handle for first",
                                                       "PnPHandler: ClosedDeviceHandles: Closing handle for second"}));
    EXPECT_EQ(sim.OpenHandles(), 0u);
    for (CompDeviceInfo* entry : Entries()) {
        EXPECT_EQ(entry->record->hidHandle.load(), nullptr);
        EXPECT_EQ(entry->port->hidHandle.load(), nullptr);
        EXPECT_NE(entry->record->notification, nullptr);
    }
    EXPECT_EQ(list.Count(), 2u);
}

TEST_F(ClosedDeviceHandlesTest, AReconnectReusesEntriesWithNewHandles)
{
    sim.Add(Scanner("p", L"SN01AGAIN"));
    Enumerate();
    CompDeviceInfo* before = Entries().at(0);
    list.ClosedDeviceHandles();
    Enumerate();
    const auto after = Entries();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], before);
    EXPECT_NE(after[0]->record->hidHandle.load(), nullptr);
    EXPECT_EQ(after[0]->port->hidHandle.load(), after[0]->record->hidHandle.load());
}

class DeviceLookupTest : public PluginTest {};

TEST_F(DeviceLookupTest, HandlesNameOnlyCurrentEntriesAndAreNeverGivenOutTwice)
{
    CompDeviceInfo* entry = Attach(Scanner("p", L"SN01FIND"));
    const DWORD_PTR first = ToDeviceHandle(entry);
    EXPECT_EQ(list.Find(first), entry);
    EXPECT_LE(first, 0xFFFFFFFEu);  // fits the host's 32-bit fields
    EXPECT_EQ(list.Find(0), nullptr);
    EXPECT_EQ(list.Find(static_cast<DWORD_PTR>(-1)), nullptr);
    EXPECT_EQ(list.Find(first + 1), nullptr);
    list.Remove(entry);
    EXPECT_EQ(list.Find(first), nullptr);
    EXPECT_EQ(sim.OpenHandles(), 0u);
    EXPECT_EQ(sim.RegisteredNotifications(), 0u);

    CompDeviceInfo* again = Attach(Scanner("p2", L"SN01FIND"));
    ASSERT_NE(again, nullptr);
    EXPECT_NE(ToDeviceHandle(again), first);
    EXPECT_EQ(list.Find(first), nullptr);
}

}  // namespace
}  // namespace pellion::testing
