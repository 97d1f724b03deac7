#include "device/node/ConnectionSettings.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include "device/node/LMRARealTimeDevice.h"
#include "transport/connection/PhoneEndpoint.h"
#include "transport/connection/UDPClient.h"

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 65535;

MString plugName(const MObject& device, const MObject& attribute) {
    return MPlug(device, attribute).name();
}

}  // namespace

bool readConnectionSettings(const MObject& device, ConnectionSettings& settings) {
    settings.address = MPlug(device, LMRARealTimeDevice::ipAddress).asString().asChar();
    const int type = MPlug(device, LMRARealTimeDevice::connectionType).asInt();
    settings.usb = type != 0;
    const MObject portAttribute =
        settings.usb ? LMRARealTimeDevice::usbPort : LMRARealTimeDevice::wifiPort;
    settings.port = MPlug(device, portAttribute).asInt();

    if (type != 0 && type != 1) {
        MString text = plugName(device, LMRARealTimeDevice::connectionType) + " is ";
        text += type;
        MGlobal::displayWarning(text + ": 0 connects over Wi-Fi, 1 over USB. Connecting over USB.");
    }
    if (settings.port < kFirstPort || settings.port > kLastPort) {
        MString text = plugName(device, portAttribute) + " is ";
        text += settings.port;
        MGlobal::displayError(text + ": a port is a number from 1 to 65535.");
        return false;
    }
    if (settings.usb) {
        settings.phone = kUsbPhone;  // usbmuxd finds the phone; the address is not used
        return true;
    }
    if (settings.address.empty()) {
        // The resolver takes an empty address for this machine: refuse it before it times out.
        MGlobal::displayError(plugName(device, LMRARealTimeDevice::ipAddress) +
                              " is empty: set it to the phone's address.");
        return false;
    }
    if (isIpv6Address(settings.address)) {
        MGlobal::displayError(MString("The phone's address \"") + settings.address.c_str() +
                              "\" (" + plugName(device, LMRARealTimeDevice::ipAddress) +
                              ") is an IPv6 address: set the phone's IPv4 address (four numbers, "
                              "such as 192.168.0.42).");
        return false;
    }
    settings.phone = resolvedPhoneAddress(settings.address, std::to_string(settings.port));
    if (settings.phone.empty()) {
        MGlobal::displayError(MString("The phone's address \"") + settings.address.c_str() +
                              "\" (" + plugName(device, LMRARealTimeDevice::ipAddress) +
                              ") does not resolve: check the address.");
        return false;
    }
    return true;
}
