#include "platform/library_loader.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <string>

namespace {
using TAnswer = int (*)();
using TTwice = int (*)(int);
} // namespace

TEST(DynamicLibrary, LoadsByAbsolutePathAndFindsExports) {
    std::string error;
    const TDynamicLibrary lib = TDynamicLibrary::Load(VQ_STUB_PLUGIN, &error);
    ASSERT_TRUE(lib.Loaded()) << error;
    EXPECT_EQ(lib.Path(), VQ_STUB_PLUGIN);
    const auto answer = lib.Function<TAnswer>("stub_answer", &error);
    ASSERT_NE(answer, nullptr) << error;
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(lib.Function<TTwice>("stub_twice")(21), 42);

    // Local binding: the library's symbols do not join the process's global scope.
    EXPECT_EQ(::dlsym(RTLD_DEFAULT, "stub_answer"), nullptr);
}

TEST(DynamicLibrary, AMissingExportIsNamedWithTheSystemsText) {
    const TDynamicLibrary lib = TDynamicLibrary::Load(VQ_STUB_PLUGIN);
    ASSERT_TRUE(lib.Loaded());
    std::string error;
    EXPECT_EQ(lib.Symbol("getmove", &error), nullptr);
    EXPECT_NE(error.find("getmove"), std::string::npos) << error;
    EXPECT_NE(error.find("undefined symbol"), std::string::npos) << error;
}

// A plug-in is bound whole or not at all.
TEST(DynamicLibrary, BindExportsIsAllOrNothing) {
    const TDynamicLibrary lib = TDynamicLibrary::Load(VQ_STUB_PLUGIN);
    ASSERT_TRUE(lib.Loaded());
    std::array<TExportSlot, 2> whole{{{"stub_answer"}, {"stub_twice"}}};
    std::string error;
    ASSERT_TRUE(BindExports(lib, whole, &error)) << error;
    EXPECT_EQ(reinterpret_cast<TAnswer>(whole[0].address)(), 42);
    EXPECT_EQ(reinterpret_cast<TTwice>(whole[1].address)(4), 8);

    std::array<TExportSlot, 3> partial{{{"stub_answer"}, {"enginecommand"}, {"stub_twice"}}};
    EXPECT_FALSE(BindExports(lib, partial, &error));
    for (const TExportSlot& s : partial)
        EXPECT_EQ(s.address, nullptr) << s.name;
    EXPECT_NE(error.find("enginecommand"), std::string::npos) << error;
}

TEST(DynamicLibrary, RefusesWhatItCannotLoad) {
    struct TCase {
        std::string path;
        const char* says;
    };
    const TCase cases[] = {
        {"libvq_stub_plugin.so", "not an absolute path"}, // would be searched for
        {"./libvq_stub_plugin.so", "not an absolute path"},
        {"", "not an absolute path"},
        {"/nonexistent/libnothing.so", "No such file"},
        {"/etc/hostname", "/etc/hostname"}, // not a library
        // Every symbol is bound at load: a library with a reference nothing resolves is refused
        // now, not when the function is first called.
        {VQ_STUB_PLUGIN_UNRESOLVED, "stub_function_nobody_defines"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        const TDynamicLibrary lib = TDynamicLibrary::Load(c.path, &error);
        EXPECT_FALSE(lib.Loaded());
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        std::string symbolError;
        EXPECT_EQ(lib.Symbol("stub_answer", &symbolError), nullptr);
        EXPECT_FALSE(symbolError.empty());
    }
}

// Never unloaded: a function taken from a library outlives the object that loaded it.
TEST(DynamicLibrary, StaysLoadedForTheProcess) {
    TAnswer answer = nullptr;
    {
        const TDynamicLibrary lib = TDynamicLibrary::Load(VQ_STUB_PLUGIN);
        answer = lib.Function<TAnswer>("stub_answer");
    }
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_NE(::dlopen(VQ_STUB_PLUGIN, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

// An engine library of that name that is a FIFO would hang the start-up in dlopen(); a folder or a
// device is no library either.
TEST(DynamicLibrary, WhatIsNotARegularFileIsNotLoaded) {
    test_support::TTempDir dir;
    std::vector<std::string> errors;
    EXPECT_EQ(test_support::OddFilesTaken(dir.File("libMarrak.so"),
                                          [&](const std::string& p) {
                                              std::string error;
                                              const bool loaded = TDynamicLibrary::Load(p, &error).Loaded();
                                              errors.push_back(error);
                                              return loaded;
                                          }),
              std::vector<std::string>{});
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[0].find("not a regular file"), std::string::npos) << errors[0];
}
