# MD5 throughput against OpenSSL's (bench preset only: native, no sanitizers).
# OpenSSL is linked into this benchmark alone, never into the program;
# bench/md5.sh installs it before it configures.
if(NOT WIN32 AND NOT TALLIX_SANITIZE)
    find_package(OpenSSL)
    if(OpenSSL_FOUND)
        add_executable(md5_bench ${CMAKE_CURRENT_LIST_DIR}/Md5Bench.cpp)
        target_link_libraries(md5_bench PRIVATE tallix_core OpenSSL::Crypto tallix_warnings)
    endif()
endif()
