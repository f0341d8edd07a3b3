// The mail client's own windows on screen (the Explorer main window).
