"""Maya's Python API 2.0, as far as the host offers it: objects and plugs by name, and the
callbacks of user events, scene messages, attribute changes and command output."""

import _mayahost

MObject = _mayahost.MObject
MPlug = _mayahost.MPlug


def maya_useNewAPI():
    """Plug-ins written in Python declare that they use this API."""


class MGlobal(object):
    """Messages in the script output, as the Script Editor shows them."""

    @staticmethod
    def displayInfo(text):
        _mayahost.display_info(text)

    @staticmethod
    def displayWarning(text):
        _mayahost.display_warning(text)

    @staticmethod
    def displayError(text):
        _mayahost.display_error(text)


class MSelectionList(object):
    def __init__(self):
        self._names = []

    def add(self, name):
        _mayahost.node_object(name)  # raises for a missing node, as Maya does
        self._names.append(name)
        return self

    def length(self):
        return len(self._names)

    def getDependNode(self, index):
        return _mayahost.node_object(self._names[index])


class MFnDependencyNode(object):
    def __init__(self, obj=None):
        self._object = obj

    def setObject(self, obj):
        self._object = obj

    def name(self):
        return _mayahost.node_name(self._object)


class MMessage(object):
    @staticmethod
    def removeCallback(callbackId):
        _mayahost.remove_callback(callbackId)

    @staticmethod
    def removeCallbacks(callbackIds):
        for callbackId in callbackIds:
            _mayahost.remove_callback(callbackId)


class MUserEventMessage(MMessage):
    @staticmethod
    def registerUserEvent(event):
        if not _mayahost.register_user_event(event):
            raise RuntimeError('"%s" is already a user event.' % event)

    @staticmethod
    def isUserEvent(event):
        return _mayahost.is_user_event(event)

    @staticmethod
    def deregisterUserEvent(event):
        if not _mayahost.deregister_user_event(event):
            raise RuntimeError('"%s" is not a user event.' % event)

    @staticmethod
    def postUserEvent(event, clientData=None):
        del clientData  # the callbacks get the data they were added with
        _mayahost.post_user_event(event)

    @staticmethod
    def addUserEventCallback(event, function, clientData=None):
        """function(clientData), each time the event is posted."""
        return _mayahost.add_user_event_callback(event, function, clientData)


class MSceneMessage(MMessage):
    kBeforeNew = _mayahost.kBeforeNew
    kAfterNew = _mayahost.kAfterNew
    kBeforeOpen = _mayahost.kBeforeOpen
    kAfterOpen = _mayahost.kAfterOpen
    kMayaExiting = _mayahost.kMayaExiting

    @staticmethod
    def addCallback(message, function, clientData=None):
        """function(clientData), each time the message is posted."""
        return _mayahost.add_scene_callback(message, function, clientData)


class MNodeMessage(MMessage):
    kConnectionMade = 0x01
    kConnectionBroken = 0x02
    kAttributeEval = 0x04
    kAttributeSet = 0x08
    kIncomingDirection = 0x800
    kOtherPlugSet = 0x4000

    @staticmethod
    def addAttributeChangedCallback(node, function, clientData=None):
        """function(msg, plug, otherPlug, clientData) when a value of the node is set or one
        of its connections is made or broken."""
        return _mayahost.add_attribute_changed_callback(node, function, clientData)


class MCommandMessage(MMessage):
    kHistory, kDisplay, kInfo, kWarning, kError, kResult, kStackTrace = range(7)

    @staticmethod
    def addCommandOutputCallback(function, clientData=None):
        """function(message, messageType, clientData) for each line the script output shows."""
        return _mayahost.add_command_output_callback(function, clientData)
