#include "platform/qt/EnvironmentSeams.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QTimer>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Seams.h"
#include "platform/Window.h"

namespace fw {

namespace {

const char* Variable(const char* name)
{
    const char* value = std::getenv(name);
    return (value && *value) ? value : nullptr;
}

} // namespace

void InstallEnvironmentSeams()
{
    if (const char* answer = Variable("TAVRINE_TEST_OPEN_DIALOG")) {
        std::string choice = answer;
        Seams::SetOpenDialogAnswer([choice](const OpenDialog&) -> std::shared_ptr<FolderItem> {
            if (choice == "cancel")
                return nullptr;
            return std::make_shared<FolderItem>(choice);
        });
    }
    if (Variable("TAVRINE_TEST_MESSAGES")) {
        Seams::SetMessageBoxAnswer([](const std::string& text) {
            std::fprintf(stderr, "message: %s\n", text.c_str());
        });
    }
    if (Variable("TAVRINE_TEST_QUIT_WHEN_SHOWN")) {
        // Polls rather than hooking a window: the first window is shown from
        // inside the application's Open event, after the loop has started.
        auto* poll = new QTimer();
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            for (const auto& window : OpenWindows()) {
                if (window->Visible()) {
                    poll->stop();
                    poll->deleteLater();
                    std::fprintf(stderr, "shown\n");
                    QuitApplication();
                    return;
                }
            }
        });
        poll->start(1);
    }
}

} // namespace fw
