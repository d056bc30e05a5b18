@rem Starts the jukebox in the demo folder.
@start "" /d "%~dp0demo" "%~dp0brindlewick.exe"
