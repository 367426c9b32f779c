#include "launcher/Launcher.h"

#include <gtest/gtest.h>

#include <new>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "FakePlatform.h"

namespace tolvex {
namespace {

using testing::FakePlatform;
using testing::Operation;
using testing::ShownMessage;

using Calls = std::vector<Operation>;
const Calls kLaunchCalls{Operation::CurrentDirectory, Operation::MainWindowHandle, Operation::ShellOpen};
const Calls kExitCalls{Operation::CurrentDirectory, Operation::CloseMainWindow};
const Calls kNothingCalls{Operation::CurrentDirectory};

struct IndexCase {
    int index;
    Calls calls;
    const wchar_t* launchedFile;  // nullptr: nothing launched

    friend void PrintTo(const IndexCase& c, std::ostream* os) { *os << "index " << c.index; }
};

class RunChoiceByIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(RunChoiceByIndex, MakesExactlyTheExpectedCalls) {
    const IndexCase& c = GetParam();
    FakePlatform platform;
    platform.directory = L"D:\\";
    Launcher launcher(platform);

    launcher.RunChoice(static_cast<ChoiceIndex>(c.index));

    EXPECT_EQ(platform.calls, c.calls);
    EXPECT_TRUE(platform.messages.empty());
    if (c.launchedFile) {
        ASSERT_EQ(platform.launches.size(), 1u);
        EXPECT_EQ(platform.launches[0].file, c.launchedFile);
    } else {
        EXPECT_TRUE(platform.launches.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfIndex, RunChoiceByIndex,
                         ::testing::Values(IndexCase{0, kLaunchCalls, L"D:\\Setup_QZ-7400.exe"},
                                           IndexCase{1, kExitCalls, nullptr},
                                           IndexCase{4, kLaunchCalls, L"D:\\SimvaraSetup.exe"},
                                           IndexCase{2, kNothingCalls, nullptr}, IndexCase{3, kNothingCalls, nullptr},
                                           IndexCase{5, kNothingCalls, nullptr}, IndexCase{-1, kNothingCalls, nullptr},
                                           IndexCase{-32768, kNothingCalls, nullptr},
                                           IndexCase{32767, kNothingCalls, nullptr}));

TEST(LaunchRequest, CarriesOwnerOpenVerbPathNoParametersNoDirectoryAndShowDefault) {
    FakePlatform platform;
    platform.directory = L"E:\\disk1";
    Launcher launcher(platform);

    launcher.RunChoice(4);

    ASSERT_EQ(platform.launches.size(), 1u);
    const LaunchRequest& request = platform.launches[0];
    EXPECT_EQ(request.owner, FakePlatform::kMainWindow);
    EXPECT_EQ(request.verb, L"open");
    EXPECT_EQ(request.file, L"E:\\disk1\\SimvaraSetup.exe");
    EXPECT_FALSE(request.parameters.has_value());
    EXPECT_FALSE(request.directory.has_value());
    EXPECT_EQ(request.showMode, 10);
}

TEST(LaunchRequest, TwoClicksOnOneButtonGiveTwoRequestsAndBothInstallersCanFollow) {
    FakePlatform platform;
    Launcher launcher(platform);

    launcher.RunChoice(0);
    launcher.RunChoice(0);
    launcher.RunChoice(4);

    ASSERT_EQ(platform.launches.size(), 3u);
    EXPECT_EQ(platform.launches[0], platform.launches[1]);
    EXPECT_EQ(platform.launches[2].file, L"D:\\SimvaraSetup.exe");
}

struct PathCase {
    const wchar_t* directory;
    const wchar_t* fileName;
    const wchar_t* expected;

    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.expected); }
};

class ComposeTargetPathCases : public ::testing::TestWithParam<PathCase> {};

TEST_P(ComposeTargetPathCases, JoinsWithExactlyOneSeparator) {
    const PathCase& c = GetParam();
    EXPECT_EQ(ComposeTargetPath(c.directory, c.fileName), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, ComposeTargetPathCases,
    ::testing::Values(
        PathCase{L"D:\\", L"Setup_QZ-7400.exe", L"D:\\Setup_QZ-7400.exe"},
        PathCase{L"E:\\disk1", L"Setup_QZ-7400.exe", L"E:\\disk1\\Setup_QZ-7400.exe"},
        PathCase{L"C:\\Program Files\\My Disc", L"SimvaraSetup.exe", L"C:\\Program Files\\My Disc\\SimvaraSetup.exe"},
        PathCase{L"\\\\server\\share\\disc\\", L"SimvaraSetup.exe", L"\\\\server\\share\\disc\\SimvaraSetup.exe"},
        PathCase{L"C:/mixed/", L"SimvaraSetup.exe", L"C:/mixed/SimvaraSetup.exe"},
        PathCase{L"\"D:\\x\"", L"a.exe", L"\"D:\\x\"\\a.exe"},  // never unquoted or normalised
        PathCase{L"D:\\a\\..\\b", L"a.exe", L"D:\\a\\..\\b\\a.exe"},
        PathCase{L"", L"SimvaraSetup.exe", L"SimvaraSetup.exe"}));

TEST(RunChoicePaths, FolderWithSpacesIsPassedUnquotedAsOnePath) {
    FakePlatform platform;
    platform.directory = L"D:\\Penwick Disc 1";
    Launcher launcher(platform);

    launcher.RunChoice(0);

    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].file, L"D:\\Penwick Disc 1\\Setup_QZ-7400.exe");
    EXPECT_FALSE(platform.launches[0].parameters.has_value());
}

struct FailureCase {
    int index;
    Operation failing;
    Calls calls;  // including the ShowMessage of the warning

    friend void PrintTo(const FailureCase& c, std::ostream* os) {
        *os << "index " << c.index << ", operation " << static_cast<int>(c.failing) << " failing";
    }
};

class RunChoiceFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RunChoiceFailure, StopsTheChoiceAndShowsOneWarning) {
    const FailureCase& c = GetParam();
    FakePlatform platform;
    platform.failing = c.failing;
    Launcher launcher(platform);

    EXPECT_NO_THROW(launcher.RunChoice(static_cast<ChoiceIndex>(c.index)));

    EXPECT_EQ(platform.calls, c.calls);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], (ShownMessage{FakePlatform::DescriptionOf(c.failing), 48, L"Tolvex"}));
    EXPECT_TRUE(platform.launches.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachOperation, RunChoiceFailure,
    ::testing::Values(
        FailureCase{0, Operation::CurrentDirectory, {Operation::CurrentDirectory, Operation::ShowMessage}},
        FailureCase{0,
                    Operation::MainWindowHandle,
                    {Operation::CurrentDirectory, Operation::MainWindowHandle, Operation::ShowMessage}},
        FailureCase{
            4,
            Operation::ShellOpen,
            {Operation::CurrentDirectory, Operation::MainWindowHandle, Operation::ShellOpen, Operation::ShowMessage}},
        // Exit with an unreadable directory warns and does not close.
        FailureCase{1, Operation::CurrentDirectory, {Operation::CurrentDirectory, Operation::ShowMessage}},
        FailureCase{1,
                    Operation::CloseMainWindow,
                    {Operation::CurrentDirectory, Operation::CloseMainWindow, Operation::ShowMessage}},
        FailureCase{3, Operation::CurrentDirectory, {Operation::CurrentDirectory, Operation::ShowMessage}}));

TEST(RunChoiceFailures, AFailureWithItsOwnSourceIsTitledWithIt) {
    FakePlatform platform;
    platform.failing = Operation::ShellOpen;
    platform.failureSource = L"shell32.dll";
    Launcher launcher(platform);

    launcher.RunChoice(0);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, L"shell32.dll");
    EXPECT_EQ(platform.messages[0].style, 48u);
}

TEST(RunChoiceFailures, TheMenuTakesFurtherClicksAfterAWarning) {
    FakePlatform platform;
    platform.failing = Operation::ShellOpen;
    Launcher launcher(platform);
    launcher.RunChoice(0);
    platform.failing.reset();

    launcher.RunChoice(0);

    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.messages.size(), 1u);
}

// A platform whose operations fail with something other than a PlatformFailure.
class ThrowingPlatform : public FakePlatform {
public:
    explicit ThrowingPlatform(bool outOfMemory) : outOfMemory_(outOfMemory) {}
    std::intptr_t ShellOpen(const LaunchRequest&) override {
        if (outOfMemory_) throw std::bad_alloc();
        throw std::runtime_error("unforeseen");
    }

private:
    bool outOfMemory_;
};

TEST(RunChoiceFailures, FailuresOfOtherKindsAreReportedUnderTheApplicationName) {
    for (bool outOfMemory : {true, false}) {
        ThrowingPlatform platform(outOfMemory);
        Launcher launcher(platform);

        EXPECT_NO_THROW(launcher.RunChoice(0));

        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].title, L"Tolvex");
        EXPECT_EQ(platform.messages[0].style, 48u);
        EXPECT_NE(platform.messages[0].text.find(outOfMemory ? L"memory" : L"unexpected"), std::wstring::npos);
    }
}

TEST(RunChoiceFailures, AFailureToShowTheWarningEscapes) {
    class FailingTwice : public FakePlatform {
    public:
        int ShowMessage(const std::wstring&, unsigned, const std::wstring&) override {
            throw PlatformFailure(L"no message box");
        }
    } platform;
    platform.failing = Operation::CurrentDirectory;
    Launcher launcher(platform);

    EXPECT_THROW(launcher.RunChoice(0), PlatformFailure);
}

TEST(ReportError, ShowsDescriptionAsTextAndSourceAsTitleWithTheWarningStyle) {
    FakePlatform platform;
    Launcher launcher(platform);

    launcher.ReportError(ErrorReport{L"It broke.", L"Somewhere"});

    EXPECT_EQ(platform.messages, (std::vector<ShownMessage>{{L"It broke.", 48, L"Somewhere"}}));
}

TEST(MenuChoices, TableHoldsTheThreeChoicesAndNothingElse) {
    EXPECT_EQ(LookUpChoice(0).caption, L"Install QZ-7400 Terminal Software");
    EXPECT_EQ(LookUpChoice(0).targetFileName, L"Setup_QZ-7400.exe");
    EXPECT_EQ(LookUpChoice(1).caption, L"Exit");
    EXPECT_EQ(LookUpChoice(1).action, ChoiceAction::CloseMenu);
    EXPECT_EQ(LookUpChoice(4).caption, L"Install Simvara Software");
    EXPECT_EQ(LookUpChoice(4).targetFileName, L"SimvaraSetup.exe");
    int assigned = 0;
    for (int index = -32768; index <= 32767; ++index) {
        if (LookUpChoice(static_cast<ChoiceIndex>(index)).action != ChoiceAction::NoAction) ++assigned;
    }
    EXPECT_EQ(assigned, 3);
}

}  // namespace
}  // namespace tolvex
