#pragma once
// The settings a device node connects with, read from its attributes and checked before a
// session starts, so that a setting that cannot work is named in the script output instead of
// ending in a time-out or a bare transport error.

#include <string>

#include <maya/MObject.h>

struct ConnectionSettings {
    std::string address;  // ipAddress
    bool usb = false;     // connectionType other than 0
    int port = 0;         // usbPort for USB, wifiPort otherwise
    // The phone the session goes to: "USB" (usbmuxd picks the phone), or the resolved Wi-Fi
    // endpoint ("192.168.0.42:35601"); two nodes with the same one talk to the same app.
    std::string phone;
};

// What ConnectionSettings::phone holds for every USB session.
inline constexpr const char* kUsbPhone = "USB";

// Reads ipAddress, connectionType and the port of the device node. False, after an error that
// names the node's attribute, when the port is outside 1 to 65535 or, for Wi-Fi, the address does
// not resolve. A connection type other than 0 or 1 connects over USB, with a warning.
bool readConnectionSettings(const MObject& device, ConnectionSettings& settings);
