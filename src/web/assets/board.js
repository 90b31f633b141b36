// The award board: follows the desk's changes over server-sent events and fetches only
// what changed. Every text goes in through textContent: nothing from the meet is markup.
"use strict";

(function () {
    const labels = {
        incomplete: "未完了",
        ready: "準備完了",
        printing: "印刷中",
        printed: "印刷済",
        failed: "失敗",
    };
    let shownVersion = -1;
    let loading = null;
    let again = false;
    const lists = new Map(); // race → the ledger document its lines shown come from
    const rows = new Map(); // race → <li>

    function element(tag, className, text) {
        const node = document.createElement(tag);
        if (className) node.className = className;
        if (text !== undefined) node.textContent = text;
        return node;
    }

    function fetchJson(path) {
        return fetch(path, { cache: "no-store" }).then(function (response) {
            if (!response.ok) throw new Error(path + ": " + response.status);
            return response.json();
        });
    }

    function badgeText(event) {
        if (event.state === "printed" && event.time) return labels.printed + " " + event.time;
        return labels[event.state] || event.state;
    }

    function entryRow(entry) {
        const row = element("tr");
        row.appendChild(element("td", "rank", entry.rank));
        const who = element("td", "who");
        who.appendChild(element("span", "name", entry.name || entry.affiliation));
        const place = entry.name ? [entry.affiliation, entry.prefecture] : [entry.prefecture];
        const sub = place.filter(Boolean).join("　");
        if (sub) who.appendChild(element("span", "sub", sub));
        if (entry.legs && entry.legs.length) {
            const legs = element("ol", "legs");
            legs.setAttribute("role", "list");
            entry.legs.forEach(function (leg) { legs.appendChild(element("li", "", leg)); });
            who.appendChild(legs);
        }
        row.appendChild(who);
        const result = element("td", "result", entry.result);
        if (entry.mark) result.appendChild(element("span", "mark sub", entry.mark));
        row.appendChild(result);
        return row;
    }

    function listBlock(list) {
        const block = element("div", "ceremony");
        list.groups.forEach(function (group) {
            if (group.heading) block.appendChild(element("h3", "group-heading", group.heading));
            const table = element("table", "list");
            const body = element("tbody");
            group.entries.forEach(function (entry) { body.appendChild(entryRow(entry)); });
            table.appendChild(body);
            block.appendChild(table);
        });
        return block;
    }

    function showList(race, list) {
        const row = rows.get(race);
        if (!row) return;
        const old = row.querySelector(".ceremony");
        if (old) old.remove();
        if (list) row.appendChild(listBlock(list));
    }

    // Fetches the event's lines once per ledger document they come from.
    function loadList(race, documentId) {
        lists.set(race, documentId);
        return fetchJson("/board/event/" + race + ".json").then(function (list) {
            if (lists.get(race) === documentId) showList(race, list);
        }).catch(function () {
            if (lists.get(race) === documentId) lists.delete(race); // tried again later
        });
    }

    function eventRow(event) {
        const row = element("li", "event " + event.state);
        row.id = "event-" + event.race;
        row.dataset.race = String(event.race);
        row.dataset.state = event.state;
        const head = element("div", "event-head");
        head.appendChild(element("span", "event-title", event.title));
        head.appendChild(element("span", "badge " + event.state, badgeText(event)));
        if (event.state === "failed" && event.why) head.appendChild(element("span", "why", event.why));
        row.appendChild(head);
        return row;
    }

    function showTrouble(text) {
        const trouble = document.getElementById("trouble");
        trouble.textContent = text || "";
        trouble.hidden = !text;
    }

    // Puts the event's row in place (in race order), keeping its list while it has one;
    // returns the fetch of its list when its lines changed.
    function showLine(event) {
        const old = rows.get(event.race);
        const row = eventRow(event);
        if (old) {
            const ceremony = old.querySelector(".ceremony");
            if (ceremony && event.list) row.appendChild(ceremony);
            old.replaceWith(row);
        } else {
            let next = null;
            rows.forEach(function (other, race) {
                if (race > event.race && (!next || race < Number(next.dataset.race))) next = other;
            });
            document.getElementById("events").insertBefore(row, next);
        }
        rows.set(event.race, row);
        if (!event.list) {
            lists.delete(event.race);
            return null;
        }
        return lists.get(event.race) !== event.list ? loadList(event.race, event.list) : null;
    }

    function removeLine(race) {
        const row = rows.get(race);
        if (row) row.remove();
        rows.delete(race);
        lists.delete(race);
    }

    function showEmpty() {
        const empty = document.getElementById("empty");
        const printedOnly = document.body.dataset.filter === "printed";
        if (rows.size === 0) {
            empty.textContent = "種目はまだありません。";
        } else if (printedOnly && !document.querySelector(".event.printed")) {
            empty.textContent = "印刷済の種目はまだありません。";
        } else {
            empty.hidden = true;
            return;
        }
        empty.hidden = false;
    }

    function showBoard(board) {
        document.getElementById("meet").textContent = board.meet || "";
        showTrouble(board.trouble);
        const seen = new Set();
        const fetches = [];
        board.events.forEach(function (event) {
            seen.add(event.race);
            fetches.push(showLine(event));
        });
        Array.from(rows.keys()).forEach(function (race) {
            if (!seen.has(race)) removeLine(race);
        });
        showEmpty();
        return Promise.all(fetches);
    }

    // A notice that follows the version shown carries what changed, a newly printed event's
    // lines with it as a rule: applied without asking. Lines left out are fetched.
    function applyNotice(notice) {
        showTrouble(notice.trouble);
        notice.events.forEach(function (event) {
            const carried = event.list && event.lines;
            if (carried) lists.set(event.race, event.list);
            showLine(event);
            if (carried) showList(event.race, event.lines);
            rows.get(event.race).classList.add("fresh");
        });
        (notice.gone || []).forEach(removeLine);
        showEmpty();
        shownVersion = notice.version;
        document.body.dataset.version = String(shownVersion);
    }

    // One load at a time; a change told meanwhile makes one more after it. A load that
    // fails is tried again shortly.
    function refresh() {
        if (loading) {
            again = true;
            return;
        }
        let failed = false;
        loading = fetchJson("/board.json").then(function (board) {
            shownVersion = board.version;
            if (stream && stream.readyState === EventSource.OPEN) setLink("live", "自動更新中");
            return showBoard(board);
        }).catch(function () {
            failed = true;
            setLink("lost", "読み込めません。再試行します…");
        }).then(function () {
            loading = null;
            document.body.dataset.version = String(shownVersion);
            if (failed) {
                setTimeout(refresh, 2000);
            } else if (again) {
                again = false;
                refresh();
            }
        });
    }

    function setLink(state, text) {
        const link = document.getElementById("link");
        link.dataset.state = state;
        link.textContent = text;
    }

    let stream = null;
    function connect() {
        const source = new EventSource("/events");
        stream = source;
        source.onopen = function () {
            setLink("live", "自動更新中");
            refresh(); // whatever changed while away
        };
        source.onmessage = function (message) {
            let notice;
            try { notice = JSON.parse(message.data); } catch (e) { return; }
            if (typeof notice.version !== "number" || notice.version <= shownVersion) return;
            if (!loading && !notice.full && notice.version === shownVersion + 1
                && Array.isArray(notice.events)) {
                applyNotice(notice);
                return;
            }
            refresh();
        };
        source.onerror = function () {
            setLink("lost", "接続が切れました。再接続中…");
            if (source.readyState === EventSource.CLOSED) {
                // The browser gave up (the server answered with an error): try again later.
                setTimeout(connect, 3000);
            }
        };
    }

    // Only the printed events (the presenter's view), remembered on this phone.
    function setFilter(printedOnly) {
        const button = document.getElementById("filter");
        button.setAttribute("aria-pressed", printedOnly ? "true" : "false");
        if (printedOnly) document.body.dataset.filter = "printed";
        else delete document.body.dataset.filter;
        try { localStorage.setItem("tarvel.board.filter", printedOnly ? "printed" : ""); }
        catch (e) { /* private browsing: not remembered */ }
        showEmpty();
    }

    document.addEventListener("DOMContentLoaded", function () {
        let remembered = "";
        try { remembered = localStorage.getItem("tarvel.board.filter") || ""; } catch (e) { }
        setFilter(remembered === "printed");
        document.getElementById("filter").addEventListener("click", function () {
            setFilter(this.getAttribute("aria-pressed") !== "true");
        });
        refresh();
        connect();
    });
})();
