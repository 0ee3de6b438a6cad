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
    toggleSign(field, row, start, end) { return answer(_kq_toggle_sign(this.session, field, row, start, end)); }
    focus(field, row) { return answer(_kq_focus(this.session, field, row)); }
    pressLoading(index) { return answer(_kq_press_loading(this.session, index)); }
    useLoadings(bytes, fileName, [modified, utcOffset], sha256, size) {
      return answer(withBytes([bytes, fileName, sha256], (bytesAt, bytesLength, nameAt, nameLength, sha256At, sha256Length) =>
        _kq_use_loadings(this.session, bytesAt, bytesLength, nameAt, nameLength, modified, utcOffset, sha256At, sha256Length, size)));
    }
    offerClubLoadings(bytes, [modified, utcOffset], sha256, size, fetched) {
      return answer(withBytes([bytes, sha256], (bytesAt, bytesLength, sha256At, sha256Length) =>
        _kq_offer_club_loadings(this.session, bytesAt, bytesLength, modified, utcOffset, sha256At, sha256Length, size, fetched ? 1 : 0)));
    }
    clearLoadings() { return answer(_kq_clear_loadings(this.session)); }
    layoutChart(width, textSize) { return answer(_kq_layout_chart(this.session, width, textSize)); }
    layoutChartForPaper() { return answer(_kq_layout_chart_for_paper(this.session)); }
    view() { return answer(_kq_view(this.session)); }
    summary() { return answer(_kq_summary(this.session)); }
    sayResult() { return answer(_kq_say_result(this.session)); }
    loadSheet([madeAt, utcOffset]) { return answer(_kq_load_sheet(this.session, madeAt, utcOffset)); }
    problemReport([madeAt, utcOffset], platform) {
      return answer(withBytes([platform], (...text) => _kq_problem_report(this.session, madeAt, utcOffset, ...text)));
    }
    reported(copied) { return answer(_kq_reported(this.session, copied ? 1 : 0)); }
  }

  class Sha256 {
    constructor() { this.digest = _kq_sha256_new(); }
    delete() { _kq_sha256_delete(this.digest); this.digest = 0; }
    add(bytes) { withBytes([bytes], (...piece) => _kq_sha256_add(this.digest, ...piece)); }
    hex() { return answer(_kq_sha256_hex(this.digest)); }
  }

  Module['Session'] = Session;
  Module['Sha256'] = Sha256;
  Module['FieldKind'] = Object.freeze({ Weight: 0, Arm: 1, Moment: 2, Description: 3 });
  Module['fieldName'] = (field, row) => answer(_kq_field_name(field, row));
  Module['program'] = () => answer(_kq_program());
  Module['loadingsFileLimit'] = () => _kq_loadings_file_limit();
  Module['build'] = '@KQ71WB_PAGE_BUILD@';
})();
