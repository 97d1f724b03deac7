"""Maya's Python packages on the headless host.

In a python3 process, start with ``import maya.standalone; maya.standalone.initialize()``; inside
hostbatch the session is already running.
"""
