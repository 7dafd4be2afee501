list(APPEND TALLIX_CORE_SOURCES
    app/CommandLine.cpp
    app/ExitCodes.cpp
    app/Progress.cpp)
list(APPEND TALLIX_COMPONENT_SOURCES
    app/Application.cpp
    app/CalculationRun.cpp
    app/CommandLineSetUp.cpp
    app/ListUpdates.cpp
    app/NewFiles.cpp
    app/ProgressDisplay.cpp
    app/VerificationRun.cpp)
