#pragma once
// The plug-in's one message queue. Any thread posts to it (through the transport's MessageSink,
// installed at load); Maya's main thread shows what is queued in the Script Editor. It is drained
// by every node compute and every command of the plug-in, and flushed at unload and when Maya
// exits, so a message outlives the node or thread that posted it.

#include "transport/messages/MessageSink.h"

// The queue, alive for as long as the plug-in's code is loaded.
MessageSink& pluginMessageQueue();

// Shows every queued message, oldest first, through MGlobal; on any thread but the main thread
// (the evaluation manager's threads) it leaves them queued.
void showQueuedMessages();

// Shows the queued messages when it is made and again when it goes out of scope: a command or
// compute holds one so that what it and the threads before it posted is shown by the time it
// returns.
class QueuedMessagesShown {
  public:
    QueuedMessagesShown() { showQueuedMessages(); }
    ~QueuedMessagesShown() { showQueuedMessages(); }
    QueuedMessagesShown(const QueuedMessagesShown&) = delete;
    QueuedMessagesShown& operator=(const QueuedMessagesShown&) = delete;
};
