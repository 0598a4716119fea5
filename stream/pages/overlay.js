'use strict';

// The scorebug: both teams with their run totals, and the count with the
// batter, in the board's colours. URL parameters: corner=tl|tr|bl|br (top
// left by default) and scale=0.5 to 3 (1 by default; outside values are held
// to the range, anything else is ignored).

(() => {
    const params = new URLSearchParams(location.search);
    const corner = ['tl', 'tr', 'bl', 'br'].includes(params.get('corner')) ? params.get('corner') : 'tl';
    const scale = Number.parseFloat(params.get('scale'));
    const bug = document.getElementById('bug');
    bug.classList.add(corner);
    if (Number.isFinite(scale))
        document.documentElement.style.setProperty('--scale', String(Math.min(3, Math.max(0.5, scale))));

    const digitsOf = (id) => Array.from(document.querySelectorAll(`#${id} .led`), (e) => Led.create(e));
    const shows = {
        homeRuns: digitsOf('home'),
        visitorRuns: digitsOf('visitor'),
        atBat: digitsOf('atBat'),
        balls: digitsOf('balls'),
        strikes: digitsOf('strikes'),
        outs: digitsOf('outs'),
    };
    const homeName = document.querySelector('#home .name');
    const visitorName = document.querySelector('#visitor .name');

    function showNumber(setters, n, on, off) {
        if (setters.length === 2) {
            setters[0](Led.tens(n), on, off);
            setters[1](Led.ones(n), on, off);
        } else {
            setters[0](n, on, off);
        }
    }

    let shownBoard = '';
    followBoard((state) => {
        const game = state.game;
        const board = state.board;
        // Colours and names change seldom; restyling the page for every
        // digit would only slow the digits.
        const boardKey = JSON.stringify(board);
        if (boardKey !== shownBoard) {
            shownBoard = boardKey;
            const root = document.documentElement.style;
            root.setProperty('--form', board.formBackColor);
            root.setProperty('--label', board.labelColor);
            homeName.textContent = board.homeText;
            homeName.style.color = board.homeColor;
            visitorName.textContent = board.visitorText;
            visitorName.style.color = board.visitorColor;
        }
        const on = board.ledColor;
        const off = board.ledBackColor;
        showNumber(shows.homeRuns, game.home.runs, on, off);
        showNumber(shows.visitorRuns, game.visitor.runs, on, off);
        showNumber(shows.atBat, game.atBat, on, off);
        showNumber(shows.balls, game.balls, on, off);
        showNumber(shows.strikes, game.strikes, on, off);
        showNumber(shows.outs, game.outs, on, off);
        bug.classList.remove('waiting');
    });
})();
