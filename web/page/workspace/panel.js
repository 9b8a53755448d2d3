// The workspace's markup: built here so that index.html keeps only the place it goes in.
const button = (id, text, title) =>
  `<button type="button" id="${id}"${title ? ` title="${title}"` : ""}>${text}</button>`;

export function buildPanel(host, roles) {
  host.innerHTML = `
<section id="wsEditor" aria-labelledby="wsEditorTitle">
  <h2 id="wsEditorTitle">Editor <span id="wsPath"></span></h2>
  <div class="wsBar" role="group" aria-label="File shown">
    ${roles.map(({ role, label }) => `<button type="button" class="wsTab" data-role="${role}" aria-pressed="false">${label}</button>`).join("")}
  </div>
  <div id="wsCode"></div>
  <div class="wsBar">
    ${button("wsSave", "Save")}
    ${button("wsEditLoaded", "Edit loaded", "Edit the descriptor the form loaded last")}
    <label>Name <input id="wsNewName" value="program1" autocomplete="off" spellcheck="false" size="10"></label>
    ${button("wsNew", "New")}
  </div>
  <div class="wsBar">
    ${button("wsDownload", "Download")}
    ${button("wsRestore", "Restore examples")}
    ${button("wsCopyLink", "Copy link")}
  </div>
  <ul id="wsFindings" aria-label="Findings of the check"></ul>
  <p id="wsStatus" role="status" aria-live="polite"></p>
</section>
<section id="wsCases" aria-labelledby="wsCasesTitle">
  <h2 id="wsCasesTitle">Cases</h2>
  <div class="wsBar">${button("wsCheck", "Check")} <span id="wsSummary"></span></div>
  <table id="wsVerdicts" hidden>
    <caption class="wsHidden">Verdict of each case; choose a case to load its inputs into the form</caption>
    <thead><tr><th scope="col">Case</th><th scope="col">Inputs</th><th scope="col">Expected</th><th scope="col">Got</th><th scope="col">Verdict</th></tr></thead>
    <tbody></tbody>
  </table>
</section>
<section id="wsGoto" aria-labelledby="wsGotoTitle">
  <h2 id="wsGotoTitle">Go to line count</h2>
  <div class="wsBar">
    <label>Lines executed <input id="wsGotoCount" type="number" min="0" step="1" value="0"></label>
    ${button("wsGotoButton", "Go")}
    ${button("wsGotoBack", "One step back")}
  </div>
  <p class="wsNote">Runs the loaded program again from its first line, as Step Or Run and that
  many presses of Next would, then steps on from there with Next.</p>
</section>`;
}
