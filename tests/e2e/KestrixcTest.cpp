// kestrixc end to end: real project files in, compiled screen savers out, read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "base/Bitmap.h"
#include "base/MemoryStream.h"
#include "base/Path.h"
#include "builder/ProjectFileFunctions.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceFromExeUnit.h"
#include "tests/unit/TestFiles.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

std::string gKestrixc;  // the program under test, from the command line

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Console output ends its lines as the platform does; compare it with LF alone.
std::string WithoutCarriageReturns(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

RunResult RunKestrixc(const TempDir& dir, const std::string& arguments) {
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");
    std::string command = "\"" + gKestrixc + "\" " + arguments + " >\"" + out + "\" 2>\"" + err + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd /c takes away one pair of outer quotes
#endif
    int status = std::system(command.c_str());
#ifndef _WIN32
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return {status, WithoutCarriageReturns(ReadText(out)), WithoutCarriageReturns(ReadText(err))};
}

Bytes Jpeg(int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 200);
    Bytes out;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<Bytes*>(context);
            bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &out, width, height, 3, rgb.data(), 90);
    return out;
}

// Two pixels, red and blue, as the smallest honest GIF.
const Bytes kGif2x1 = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0,    0,    0xFF,
                       0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x0A, 0, 0x3B};

Bytes Bmp(int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
}

class KestrixcTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(dir.File("kestrix.dat"), "MZ stand-in runtime");
        WriteText(dir.File("movie.swf"), std::string("FWS\x06", 4) + std::string(5000, '\x42'));
        settings.SSNameVersion = "Saver 2.0";
        settings.FlashFile = dir.File("movie.swf");
        settings.Scale = 2;
        settings.Alignment = 7;
        settings.Title = "A title";
        settings.Website = "http://example.org/";
        settings.Email = "someone@example.org";
        settings.Transparent = true;
        settings.CopyrightText = "First\r\n\r\nThird \xA9";
        settings.ScrollBar = 1;
        settings.OutputDir = dir.Path();
        settings.OutputFilename = "saver";
    }

    std::string SaveProject(const ProjectSettings& values) {
        TProjectRecord record;
        record.Settings() = values;
        TProjectFile project(record, dir.Path());
        EXPECT_TRUE(project.SaveProject(dir.File("project.kcp")));
        return dir.File("project.kcp");
    }

    std::string Stub() const { return " --stub \"" + dir.File("kestrix.dat") + "\""; }

    TempDir dir;
    ProjectSettings settings;
};

TEST_F(KestrixcTest, CompiledPayloadReadsBackWithTheProjectsValuesForEveryLogoKind) {
    const struct {
        const char* name;
        Bytes bytes;
        int width, height;
    } logos[] = {{"logo.jpg", Jpeg(5, 3), 5, 3}, {"logo.GIF", kGif2x1, 2, 1}, {"logo.bmp", Bmp(7, 4), 7, 4}};
    for (const auto& logo : logos) {
        WriteBytes(dir.File(logo.name), logo.bytes);
        settings.Logo = dir.File(logo.name);
        const RunResult result = RunKestrixc(dir, "\"" + SaveProject(settings) + "\"" + Stub());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string scr = dir.File("saver.scr");
        EXPECT_EQ(result.out, "Screen saver " + scr + " succesfully compiled!\n");

        const TResourceFromExe reader(scr);
        auto text = [&](const char* key) { return dynamic_cast<TStringResItem&>(*reader.GetItem(key)).Value; };
        auto number = [&](const char* key) { return dynamic_cast<TIntegerResItem&>(*reader.GetItem(key)).Value; };
        EXPECT_EQ(text(PayloadKey::SSNameVersion), settings.SSNameVersion);
        EXPECT_EQ(number(PayloadKey::Scale), 2);
        EXPECT_EQ(number(PayloadKey::Alignment), 7);
        EXPECT_EQ(text(PayloadKey::Title), settings.Title);
        EXPECT_EQ(text(PayloadKey::Website), settings.Website);
        EXPECT_EQ(text(PayloadKey::Email), settings.Email);
        EXPECT_EQ(number(PayloadKey::Transparent), 1);
        EXPECT_EQ(text(PayloadKey::CopyrightText), settings.CopyrightText);
        EXPECT_EQ(number(PayloadKey::ScrollBar), 1);
        auto movie = reader.GetItem(PayloadKey::FlashFile);
        EXPECT_EQ(dynamic_cast<TFileResItem&>(*movie).Stream.Bytes(), ReadBytes(settings.FlashFile));
        auto logoItem = reader.GetItem(PayloadKey::Logo);
        TBitmap bitmap;
        bitmap.LoadFromStream(dynamic_cast<TStreamResItem&>(*logoItem).Stream);
        EXPECT_EQ(bitmap.Width(), logo.width) << logo.name;
        EXPECT_EQ(bitmap.Height(), logo.height) << logo.name;
    }
}

TEST_F(KestrixcTest, SameProjectGivesTheSameBytes) {
    WriteBytes(dir.File("logo.bmp"), Bmp(3, 3));
    settings.Logo = dir.File("logo.bmp");
    const std::string project = SaveProject(settings);
    ASSERT_EQ(RunKestrixc(dir, "\"" + project + "\"" + Stub()).exitCode, 0);
    const Bytes first = ReadBytes(dir.File("saver.scr"));
    ASSERT_EQ(RunKestrixc(dir, "\"" + project + "\"" + Stub()).exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.File("saver.scr")), first);
}

TEST_F(KestrixcTest, IncompleteProjectListsItsProblemsAndExitsWithTwo) {
    settings.Title = " ";
    settings.Logo = dir.File("missing.jpg");
    const RunResult result = RunKestrixc(dir, "\"" + SaveProject(settings) + "\"" + Stub());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "Information to compile the screen saver is not complete, the following error(s) occured: \n"
              "- Title may not be empty\n"
              "- No Logo picture selected, to have a configuration window without a picture, use a small one-color "
              "picture and set it transparent.\n");
    EXPECT_FALSE(FileExists(dir.File("saver.scr")));
}

TEST_F(KestrixcTest, UnusableInputIsAClearErrorWithExitCodeOne) {
    WriteText(dir.File("bad.kcp"), "SSNameVersion=x\r\nScale=many\r\n");
    WriteText(dir.File("broken.jpg"), "not a jpeg");
    settings.Logo = dir.File("broken.jpg");
    const std::string brokenLogo = SaveProject(settings);
    const struct {
        std::string arguments;
        std::string messageStart;
    } cases[] = {
        {"\"" + dir.File("absent.kcp") + "\"", "Project file \"" + dir.File("absent.kcp") + "\" not found."},
        {"\"" + dir.File("bad.kcp") + "\"", "Project file \"" + dir.File("bad.kcp") + "\" could not be loaded"},
        {"\"" + brokenLogo + "\"" + Stub(), "JPEG image is not valid"},
        {"\"" + brokenLogo + "\" --stub \"" + dir.File("nostub.dat") + "\"", "Runtime \""},
        {"", "Usage: kestrixc"},
    };
    for (const auto& c : cases) {
        const RunResult result = RunKestrixc(dir, c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments;
        EXPECT_EQ(result.err.rfind(c.messageStart, 0), 0u) << result.err;
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrixc-e2e PATH_TO_KESTRIXC\n");
        return 2;
    }
    gKestrixc = argv[1];
    return RUN_ALL_TESTS();
}
