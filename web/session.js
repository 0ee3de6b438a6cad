// The module's Session class and field kinds, over the C functions of
// binding.cpp: texts go in as UTF-8 bytes in the module's memory, answers
// come out the same way. Appended inside the module's factory by the link
// (--post-js), where its memory and functions are in scope.
(() => {
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();
  // The bytes of each text (a string or a Uint8Array) in the module's memory
  // for the length of one call, as pointer and length pairs. Memory that
  // cannot grow so far gives no pointer (0), and the binding takes 32-bit
  // lengths: either way the call is refused rather than made on address 0.
  const withBytes = (texts, call) => {
    const bytes = texts.map((text) => (typeof text === 'string' ? encoder.encode(text) : text));
    const pointers = [];
    try {
      for (const chunk of bytes) {
        const pointer = chunk.length <= 0x7fffffff ? _malloc(Math.max(chunk.length, 1)) : 0;
        if (!pointer) throw new Error(`Not enough memory for a text of ${chunk.length} bytes.`);
        pointers.push(pointer);
        HEAPU8.set(chunk, pointer);
      }
      return call(...pointers.flatMap((pointer, k) => [pointer, bytes[k].length]));
    } finally {
      pointers.forEach((pointer) => _free(pointer));
    }
  };
  const text = (pointer) => decoder.decode(HEAPU8.subarray(pointer, pointer + _kq_answer_length()));
  // A null answer is a refusal: a call the core does not have, a field kind,
  // row or loading it lacks, or a deleted session; its words say which.
  const answer = (pointer) => {
    if (!pointer) throw new Error(text(_kq_refusal()));
    return text(pointer);
  };
  // A field kind, row or loading index goes to the module as a 32-bit
  // integer, which would turn 1.5, "1", 2 ** 32 + 1 or nothing into another
  // one: only whole numbers that stay as they are pass.
  const whole = (value) => {
    if ((value | 0) !== value) throw new Error(`${String(value)} is not a field kind, row or loading.`);
    return value;
  };
  // What the core would keep of a text, and a little more, so that no length
  // of paste or file costs more memory: a field keeps so many characters
  // (one past them still tells that it was cut, and one character is at most
  // two UTF-16 units), a loadings file so many bytes.
  const fieldText = (text) => (typeof text === 'string' ? text.slice(0, 2 * (_kq_field_characters() + 1)) : text);
  const fileBytes = (bytes) => {
    const limit = _kq_loadings_file_limit();
    // A unit is a byte at least; one more unit keeps a pair of surrogates whole.
    return (typeof bytes === 'string' ? encoder.encode(bytes.slice(0, limit + 1)) : bytes).subarray(0, limit);
  };

  class Session {
    constructor() {
      this.session = _kq_session_new();
      if (!this.session) throw new Error('Not enough memory for a session.');
    }
    // The module refuses every later call, this one included, as made on a deleted session.
    delete() { answer(_kq_session_delete(this.session)); this.session = 0; }
    edit(field, row, text) {
      return answer(withBytes([fieldText(text)], (...bytes) => _kq_edit(this.session, whole(field), whole(row), ...bytes)));
    }
    toggleSign(field, row, start, end) {
      return answer(_kq_toggle_sign(this.session, whole(field), whole(row), whole(start), whole(end)));
    }
    focus(field, row) { return answer(_kq_focus(this.session, whole(field), whole(row))); }
    pressLoading(index) { return answer(_kq_press_loading(this.session, whole(index))); }
    useLoadings(bytes, fileName, [modified, utcOffset], sha256, size) {
      return answer(withBytes([fileBytes(bytes), fileName, sha256], (bytesAt, bytesLength, nameAt, nameLength, sha256At, sha256Length) =>
        _kq_use_loadings(this.session, bytesAt, bytesLength, nameAt, nameLength, modified, utcOffset, sha256At, sha256Length, size)));
    }
    offerClubLoadings(bytes, [modified, utcOffset], sha256, size, fetched) {
      return answer(withBytes([fileBytes(bytes), sha256], (bytesAt, bytesLength, sha256At, sha256Length) =>
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
    constructor() {
      this.digest = _kq_sha256_new();
      if (!this.digest) throw new Error('Not enough memory for a digest.');
    }
    delete() { _kq_sha256_delete(this.digest); this.digest = 0; }
    add(bytes) { withBytes([bytes], (...piece) => _kq_sha256_add(this.digest, ...piece)); }
    hex() { return answer(_kq_sha256_hex(this.digest)); }
  }

  Module['Session'] = Session;
  Module['Sha256'] = Sha256;
  // Numbered by the core's table, read once the module runs: this script runs
  // before its WebAssembly is ready.
  let fieldKinds = null;
  Object.defineProperty(Module, 'FieldKind', {
    enumerable: true,
    get() {
      if (!fieldKinds) {
        const names = answer(_kq_field_kinds()).split(',');
        fieldKinds = Object.freeze(Object.fromEntries(names.map((name, kind) => [name, kind])));
      }
      return fieldKinds;
    },
  });
  Module['fieldName'] = (field, row) => answer(_kq_field_name(whole(field), whole(row)));
  Module['limitCaptions'] = () => JSON.parse(answer(_kq_limit_captions()));
  Module['scaleLimits'] = () => JSON.parse(answer(_kq_scale_limits()));
  Module['program'] = () => answer(_kq_program());
  Module['loadingsFileLimit'] = () => _kq_loadings_file_limit();
  Module['build'] = '@KQ71WB_PAGE_BUILD@';
})();
