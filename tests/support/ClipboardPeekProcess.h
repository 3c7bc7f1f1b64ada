#pragma once
// The clipboard as another program sees it: the helper program ClipboardPeek,
// run with its input and output as pipes.
#include <windows.h>

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "base/UniqueHandle.h"
#include "tests/support/GuiTest.h"

using OwnedHandle = UniqueHandle<HANDLE, CloseHandle>;

// The helper program, which sees the clipboard as another program does; its
// input and output are pipes.
class Peek {
public:
    explicit Peek(const std::string& args) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childOut, childIn, ours;
        CreatePipe(&ours, &childOut, &inherit, 0);
        output_.Reset(ours);
        CreatePipe(&childIn, &ours, &inherit, 0);
        input_.Reset(ours);
        OwnedHandle keepOut(childOut), keepIn(childIn);
        SetHandleInformation(output_.Get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(input_.Get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = childIn;
        start.hStdOutput = start.hStdError = childOut;
        std::string line = std::string("\"") + TULVAR_CLIPBOARD_PEEK + "\" " + args;
        PROCESS_INFORMATION made{};
        EXPECT_TRUE(CreateProcessA(TULVAR_CLIPBOARD_PEEK, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &start, &made));
        process_.Reset(made.hProcess);
        OwnedHandle thread(made.hThread);
    }
    ~Peek() {
        if (process_) Finish();
    }
    // Our windows get their messages meanwhile: the helper's clipboard calls
    // send some to the clipboard's owner and wait for the answer.
    std::string ReadLine() {
        size_t end;
        DWORD available = 0, got = 0;
        while ((end = pending_.find('\n')) == std::string::npos &&
               PeekNamedPipe(output_.Get(), nullptr, 0, nullptr, &available, nullptr)) {
            std::string chunk(available, '\0');
            if (available == 0) PumpMessages(1);
            else if (ReadFile(output_.Get(), chunk.data(), available, &got, nullptr)) pending_.append(chunk, 0, got);
        }
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end == std::string::npos ? end : end + 1);
        return line;
    }
    // Ends its input; the rest of what it prints, one field a line.
    std::map<std::string, std::string> Finish() {
        input_.Reset();
        std::map<std::string, std::string> fields;
        for (std::string line = ReadLine(); !line.empty(); line = ReadLine()) {
            size_t space = line.find(' ');
            fields[line.substr(0, space)] = space == std::string::npos ? "" : line.substr(space + 1);
        }
        WaitForSingleObject(process_.Get(), 10000);
        process_.Reset();
        return fields;
    }

private:
    OwnedHandle output_, input_, process_;
    std::string pending_;
};
