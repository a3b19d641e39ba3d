// CSystemRestoreModule: listing through Wine's real WMI, records from WMI properties, and
// creating and deleting through a fake SRCLIENT entry-point table that behaves as Windows does.
#include "restore/SystemRestoreModule.h"
#include "restore/WmiRestore.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zyr::restore {
namespace {

TEST(SystemRestoreModule, ListsThroughWmiAndSucceeds) {
    CSystemRestoreModule module;
    RestorePointList points;
    ASSERT_NE(module.ListRestorePoints(points), 0);
    for (const RestorePointRecord& point : points) {
        EXPECT_NE(point.restorePointType, kCancelledOperation);
        EXPECT_NE(point.sequenceNumber, 0u);
    }
    // A second listing on a fresh worker works as well (COM is per worker thread).
    RestorePointList again;
    EXPECT_NE(module.ListRestorePoints(again), 0);
    EXPECT_EQ(again.size(), points.size());
}

// The properties of one listed WMI object, as VARIANTs; a missing name cannot be read.
struct FakeObject {
    std::map<std::wstring, VARIANT> properties;
    ~FakeObject() {
        for (auto& [name, value] : properties) VariantClear(&value);
    }
    FakeObject& Text(const wchar_t* name, const wchar_t* text) {
        VARIANT& v = properties[name];
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocString(text);
        return *this;
    }
    FakeObject& Number(const wchar_t* name, LONG number) {
        VARIANT& v = properties[name];
        V_VT(&v) = VT_I4;
        V_I4(&v) = number;
        return *this;
    }
    FakeObject& Null(const wchar_t* name) {
        V_VT(&properties[name]) = VT_NULL;
        return *this;
    }
    PropertyReader Reader() {
        return [this](const wchar_t* name, VARIANT& value) {
            auto it = properties.find(name);
            return it != properties.end() && SUCCEEDED(VariantCopy(&value, &it->second));
        };
    }
};

constexpr LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

TEST(SystemRestoreModule, BuildsRecordsFromWmiProperties) {
    FakeObject object;
    object.Text(L"Description", L"Installed Printer Driver")
        .Number(L"SequenceNumber", 42)
        .Text(L"CreationTime", L"20090314152640.000000-000")
        .Number(L"RestorePointType", 10)
        .Number(L"EventType", 101);
    RestorePointRecord record;
    ASSERT_TRUE(RecordFromProperties(object.Reader(), TIME_ZONE_INFORMATION{}, kEnglishUs, record));
    EXPECT_EQ(record.description, L"Installed Printer Driver");
    EXPECT_EQ(record.sequenceNumber, 42u);
    EXPECT_EQ(record.dateText, L"3/14/2009 3:26:40 PM");
    EXPECT_EQ(record.restorePointType, 10u);
    EXPECT_EQ(record.eventType, 101u);
}

TEST(SystemRestoreModule, SkipsNullAndUnreadablePropertiesAndNeverListsCancelledPoints) {
    FakeObject sparse;  // no description, null creation time, sequence number as text
    sparse.Null(L"CreationTime").Text(L"SequenceNumber", L"7").Number(L"RestorePointType", 0);
    RestorePointRecord record;
    ASSERT_TRUE(RecordFromProperties(sparse.Reader(), TIME_ZONE_INFORMATION{}, kEnglishUs, record));
    EXPECT_EQ(record.description, L"");
    EXPECT_EQ(record.sequenceNumber, 7u);
    EXPECT_EQ(record.dateText, L"");
    EXPECT_EQ(record.eventType, 0u);

    // Not listed: a cancelled operation, and objects that name no point (no sequence number,
    // or 0), as Wine's WMI answers.
    FakeObject cancelled, unnumbered, numberZero, numberNull;
    cancelled.Text(L"Description", L"Cancelled").Number(L"SequenceNumber", 8).Number(L"RestorePointType", 13);
    unnumbered.Text(L"Description", L"No number").Number(L"RestorePointType", 0);
    numberZero.Number(L"SequenceNumber", 0).Number(L"RestorePointType", 12);
    numberNull.Null(L"SequenceNumber").Text(L"CreationTime", L"20090314152640.000000-000");
    for (FakeObject* object : {&cancelled, &unnumbered, &numberZero, &numberNull}) {
        RestorePointRecord dropped;
        EXPECT_FALSE(RecordFromProperties(object->Reader(), TIME_ZONE_INFORMATION{}, kEnglishUs, dropped));
    }
}

TEST(SystemRestoreModule, RestoreIsAcceptedOnlyWhenTheCallAndTheMethodSucceed) {
    VARIANT zero, refused, empty;
    V_VT(&zero) = VT_I4;
    V_I4(&zero) = 0;
    V_VT(&refused) = VT_I4;
    V_I4(&refused) = 1;
    V_VT(&empty) = VT_EMPTY;
    EXPECT_TRUE(RestoreAccepted(S_OK, &zero));
    EXPECT_TRUE(RestoreAccepted(S_OK, &empty));
    EXPECT_FALSE(RestoreAccepted(S_OK, &refused));
    EXPECT_FALSE(RestoreAccepted(static_cast<HRESULT>(0x8004102C), &zero));
}

// SRCLIENT as Windows behaves: a begin call assigns the next sequence number, the end call
// with that number completes the point; removing an unknown number fails.
struct FakeSrClient {
    static inline INT64 nextSequence = 100;
    static inline std::vector<RESTOREPOINTINFOW> calls;
    static inline std::vector<DWORD> points;
    static inline bool refuse = false;

    static BOOL WINAPI SetRestorePoint(RESTOREPOINTINFOW* info, STATEMGRSTATUS* status) {
        calls.push_back(*info);
        if (refuse) {
            status->nStatus = ERROR_SERVICE_DISABLED;
            return FALSE;
        }
        status->nStatus = ERROR_SUCCESS;
        if (info->dwEventType == BEGIN_SYSTEM_CHANGE) {
            status->llSequenceNumber = nextSequence++;
            points.push_back(static_cast<DWORD>(status->llSequenceNumber));
        } else {
            status->llSequenceNumber = info->llSequenceNumber;
        }
        return TRUE;
    }
    static DWORD WINAPI RemoveRestorePoint(DWORD sequence) {
        for (auto it = points.begin(); it != points.end(); ++it) {
            if (*it == sequence) {
                points.erase(it);
                return ERROR_SUCCESS;
            }
        }
        return ERROR_INVALID_DATA;
    }
};

class SrClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeSrClient::nextSequence = 100;
        FakeSrClient::calls.clear();
        FakeSrClient::points.clear();
        FakeSrClient::refuse = false;
    }
    CSystemRestoreModule module{SrClientEntryPoints{FakeSrClient::RemoveRestorePoint, FakeSrClient::SetRestorePoint}};
};

TEST_F(SrClientTest, CreatingYieldsTypeTwelveEventTypeOneHundredOneAndTheAssignedNumber) {
    RestorePointRecord created;
    created.dateText = L"stale";
    ASSERT_NE(module.CreateRestorePoint(L"Before defragmenting", &created), 0);
    EXPECT_EQ(created.description, L"Before defragmenting");
    EXPECT_EQ(created.sequenceNumber, 100u);
    EXPECT_EQ(created.restorePointType, 12u);
    EXPECT_EQ(created.eventType, 101u);
    EXPECT_EQ(created.dateText, L"");

    // A begin call with number 0, then the end call with the assigned number.
    ASSERT_EQ(FakeSrClient::calls.size(), 2u);
    EXPECT_EQ(FakeSrClient::calls[0].dwEventType, 100u);
    EXPECT_EQ(FakeSrClient::calls[0].dwRestorePtType, 12u);
    EXPECT_EQ(FakeSrClient::calls[0].llSequenceNumber, 0);
    EXPECT_STREQ(FakeSrClient::calls[0].szDescription, L"Before defragmenting");
    EXPECT_EQ(FakeSrClient::calls[1].dwEventType, 101u);
    EXPECT_EQ(FakeSrClient::calls[1].dwRestorePtType, 12u);
    EXPECT_EQ(FakeSrClient::calls[1].llSequenceNumber, 100);

    // The next point gets the next number; the record may be left out.
    EXPECT_NE(module.CreateRestorePoint(L"Again", nullptr), 0);
    EXPECT_EQ(FakeSrClient::points, (std::vector<DWORD>{100, 101}));
}

TEST_F(SrClientTest, LongDescriptionsAreCutToTheLimitAndTerminated) {
    RestorePointRecord created;
    ASSERT_NE(module.CreateRestorePoint(std::wstring(400, L'x'), &created), 0);
    EXPECT_EQ(created.description, std::wstring(255, L'x'));
    EXPECT_EQ(FakeSrClient::calls[0].szDescription[255], L'\0');
}

TEST_F(SrClientTest, ARefusedCreationFails) {
    FakeSrClient::refuse = true;
    RestorePointRecord created;
    EXPECT_EQ(module.CreateRestorePoint(L"Refused", &created), 0);
    EXPECT_EQ(FakeSrClient::calls.size(), 1u);  // no end call after a failed begin
    EXPECT_EQ(created.sequenceNumber, 0u);
}

TEST_F(SrClientTest, DeletingSucceedsForAKnownPointAndFailsForAnUnknownOne) {
    ASSERT_NE(module.CreateRestorePoint(L"One", nullptr), 0);
    EXPECT_EQ(module.DeleteRestorePoint(4711), 0);
    EXPECT_NE(module.DeleteRestorePoint(100), 0);
    EXPECT_EQ(module.DeleteRestorePoint(100), 0);  // already gone
}

TEST(SystemRestoreModule, MissingEntryPointsMakeCreatingAndDeletingFail) {
    CSystemRestoreModule module{SrClientEntryPoints{}};
    RestorePointRecord created;
    EXPECT_EQ(module.CreateRestorePoint(L"x", &created), 0);
    EXPECT_EQ(module.DeleteRestorePoint(1), 0);
    // Listing still works through WMI.
    RestorePointList points;
    EXPECT_NE(module.ListRestorePoints(points), 0);
}

}  // namespace
}  // namespace zyr::restore
