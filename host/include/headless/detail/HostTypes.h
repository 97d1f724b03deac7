#pragma once
// The host's internal types that its Maya classes hold or let in as friends, declared once for
// all the Maya headers. Plug-ins never name them.

namespace headless::detail {
class Attribute;
class DeviceQueue;
class DeviceThread;
class HostObject;
class Node;
struct HostAccess;
}  // namespace headless::detail
