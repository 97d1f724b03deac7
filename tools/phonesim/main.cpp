// phonesim: runs the phone capture app stand-in until SIGINT or SIGTERM.

#include <csignal>
#include <iostream>
#include <mutex>

#include "CommandLine.h"
#include "PhoneSim.h"

int main(int argc, char** argv) {
    CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.showHelp) {
        std::cout << commandLineUsage();
        return 0;
    }
    if (!line.error.empty()) {
        std::cerr << "phonesim: " << line.error << "\n" << commandLineUsage();
        return 2;
    }

    // The stand-in's thread logs while this one prints the endpoints.
    std::mutex outputMutex;
    line.options.log = [&outputMutex](const std::string& text) {
        std::lock_guard<std::mutex> lock(outputMutex);
        std::cout << "phonesim: " << text << std::endl;
    };

    // Blocked before any thread starts, so that only sigwait below receives them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    const std::string address = line.options.bindAddress;
    PhoneSim phone(line.options);
    try {
        phone.start();
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    {
        std::lock_guard<std::mutex> lock(outputMutex);
        if (phone.udpPort() != 0)
            std::cout << "phonesim: wifi udp " << address << ":" << phone.udpPort() << "\n";
        if (phone.usbPort() != 0)
            std::cout << "phonesim: usb tcp " << address << ":" << phone.usbPort() << "\n";
        if (!phone.usbmuxdSocketPath().empty())
            std::cout << "phonesim: usbmuxd unix " << phone.usbmuxdSocketPath() << "\n";
        std::cout << std::flush;
    }

    int received = 0;
    sigwait(&signals, &received);
    phone.stop();
    std::lock_guard<std::mutex> lock(outputMutex);
    std::cout << "phonesim: stopped" << std::endl;
    return 0;
}
