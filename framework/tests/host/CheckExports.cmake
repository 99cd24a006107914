# cmake -DNM=<nm> -DLIBRARY=<plug-in> -P CheckExports.cmake
# Fails unless the plug-in's dynamic symbol table defines exactly the fifteen exports.
set(expected
  DeleteMsg DisplayConfigWizardPages FreeMailMsg GetAllMsgs GetHostConfigInfo
  GetSupportedHosts Initialize Logoff Logon SendMsg SetHostConfigInfo SetMsg
  SetMsgPriority SetMsgReadStatus Uninitialize)

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing ERROR_VARIABLE problem RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}: ${problem}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  # "<address> <type> <name>[@version]"
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] ([^@ ]+)")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT names)
list(SORT expected)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} exports\n  ${names}\nbut must export exactly\n  ${expected}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY}: exactly the ${count} exports")
