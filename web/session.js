// The module's Session class and field kinds, over the C functions of
// binding.cpp: texts go in as UTF-8 bytes in the module's memory, answers
// come out the same way. Appended inside the module's factory by the link
// (--post-js), where its memory and functions are in scope.
(() => {
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();
  // The bytes of each text (a string or a Uint8Array) in the module's memory
  // for the length of one call, as pointer and length pairs.
  const withBytes = (texts, call) => {
    const bytes = texts.map((text) => (typeof text === 'string' ? encoder.encode(text) : text));
    const pointers = bytes.map((chunk) => {
      const pointer = _malloc(Math.max(chunk.length, 1));
      HEAPU8.set(chunk, pointer);
      return pointer;
    });
    try {
      return call(...pointers.flatMap((pointer, k) => [pointer, bytes[k].length]));
    } finally {
      pointers.forEach((pointer) => _free(pointer));
    }
  };
  const answer = (pointer) => decoder.decode(HEAPU8.subarray(pointer, pointer + _kq_answer_length()));

  class Session {
    constructor() { this.session = _kq_session_new(); }
    delete() { _kq_session_delete(this.session); this.session = 0; }
    edit(field, row, text) { return answer(withBytes([text], (...bytes) => _kq_edit(this.session, field, row, ...bytes))); }
    toggleSign(field, row) { return answer(_kq_toggle_sign(this.session, field, row)); }
    focus(field, row) { return answer(_kq_focus(this.session, field, row)); }
    pressLoading(index) { return answer(_kq_press_loading(this.session, index)); }
    useLoadings(bytes, fileName, modified) {
      return answer(withBytes([bytes, fileName, modified], (...texts) => _kq_use_loadings(this.session, ...texts)));
    }
    clearLoadings() { return answer(_kq_clear_loadings(this.session)); }
    chartFrame() { return answer(_kq_chart_frame(this.session)); }
    view() { return answer(_kq_view(this.session)); }
    summary() { return answer(_kq_summary(this.session)); }
    sayResult() { return answer(_kq_say_result(this.session)); }
    loadSheet(madeAt) { return answer(withBytes([madeAt], (...bytes) => _kq_load_sheet(this.session, ...bytes))); }
  }

  Module['Session'] = Session;
  Module['FieldKind'] = Object.freeze({ Weight: 0, Arm: 1, Moment: 2, Description: 3 });
  Module['fieldName'] = (field, row) => answer(_kq_field_name(field, row));
  Module['program'] = () => answer(_kq_program());
  Module['loadingsFileLimit'] = () => _kq_loadings_file_limit();
})();
