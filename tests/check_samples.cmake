# The committed samples are exactly what their generator writes.
# Variables: GENERATOR, SAMPLES_DIR, WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${GENERATOR} ${WORK_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed (${result})")
endif()
foreach(name slit.dcm chart.dcm edge.dcm flat.dcm dqe_flat_1.dcm dqe_flat_2.dcm dqe_flat_3.dcm
             dqe_edge_u.dcm dqe_edge_v.dcm README.md)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SAMPLES_DIR}/${name} ${WORK_DIR}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "samples/${name} differs from what radmtf_make_samples writes")
  endif()
endforeach()
