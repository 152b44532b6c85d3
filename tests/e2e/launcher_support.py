from xsession import *  # noqa: F401,F403 the helpers live in xsession.py
